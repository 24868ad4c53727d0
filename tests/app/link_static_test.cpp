// The link control on a label of its own: colours by state, font, cursor, tooltip, fitting to its text, the
// hover timer, and opening the target on a click.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include "app/link_static.h"
#include "platform/message_box.h"
#include "qstring_printer.h"

namespace {

// Receives the addresses the desktop is asked to open for a scheme of the test's own.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> m_urls;
public slots:
    void open(const QUrl& url) { m_urls.append(url); }
};

const QString kTestScheme = QStringLiteral("quarrow-test");

class LinkStaticTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_host.resize(400, 200);
        m_pLabel = new QLabel(m_caption, &m_host);
        m_pLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        m_pLabel->setGeometry(50, 40, 200, 30);
        m_previousHandler = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            m_boxes.push_back(request);
            return IDOK;
        });
        QDesktopServices::setUrlHandler(kTestScheme, &m_recorder, "open");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler(kTestScheme);
        SetMessageBoxHandler(m_previousHandler);
    }

    void Bind() {
        m_link.SubclassWidget(m_pLabel);
        m_host.show();
    }

    // Pixels of the label painted exactly in the colour.
    int PixelsOf(COLORREF colour) {
        const QImage image = m_pLabel->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb wanted = qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, y) == wanted ? 1 : 0;
        return count;
    }

    QString ShownTooltip() {
        const QPoint inside = m_pLabel->rect().center();
        QHelpEvent help(QEvent::ToolTip, inside, m_pLabel->mapToGlobal(inside));
        QApplication::sendEvent(m_pLabel, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    QString m_caption = QStringLiteral("Link text");
    QWidget m_host;
    QLabel* m_pLabel = nullptr;
    CLinkStatic m_link;
    UrlRecorder m_recorder;
    std::vector<MessageBoxRequest> m_boxes;
    MessageBoxHandler m_previousHandler;
};

struct StateCase {
    const char* name;
    BOOL hovering;
    BOOL visited;
    COLORREF expected;
};
void PrintTo(const StateCase& c, std::ostream* os) {
    *os << c.name;
}

class LinkStaticStateTest : public LinkStaticTest, public ::testing::WithParamInterface<StateCase> {};

} // namespace

TEST_P(LinkStaticStateTest, PaintsInTheColourOfItsState) {
    const StateCase& c = GetParam();
    Bind();
    m_link.m_bHovering = c.hovering;
    m_link.m_bVisited = c.visited;
    EXPECT_EQ(m_link.CtlColor(CTLCOLOR_STATIC), c.expected);

    // The text is painted in that colour and in none of the others.
    EXPECT_GT(PixelsOf(c.expected), 0);
    for (COLORREF other : {COLORREF{0x00FF0000}, COLORREF{0x008B1A55}, COLORREF{0x000000FF}}) {
        if (other != c.expected) {
            EXPECT_EQ(PixelsOf(other), 0) << std::hex << other;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(States, LinkStaticStateTest,
                         ::testing::Values(StateCase{"normalIsBlue", FALSE, FALSE, 0x00FF0000},
                                           StateCase{"visitedIsPurple", FALSE, TRUE, 0x008B1A55},
                                           StateCase{"hoverIsRed", TRUE, FALSE, 0x000000FF},
                                           StateCase{"hoverWinsOverVisited", TRUE, TRUE, 0x000000FF}),
                         [](const ::testing::TestParamInfo<StateCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(LinkStaticTest, LooksLikeALinkOnceBound) {
    EXPECT_EQ(m_link.m_clrNormal, 0x00FF0000u);
    EXPECT_EQ(m_link.m_clrVisited, 0x008B1A55u);
    EXPECT_EQ(m_link.m_clrHover, 0x000000FFu);
    EXPECT_FALSE(m_pLabel->font().underline());
    Bind();
    EXPECT_TRUE(m_pLabel->font().underline());
    EXPECT_TRUE(m_link.m_fontLink.underline());
    EXPECT_EQ(m_pLabel->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(m_link.GetStyle() & SS_NOTIFY);
    // The alignment of the label is kept.
    EXPECT_EQ(m_link.GetStyle() & (SS_CENTER | SS_CENTERIMAGE), SS_CENTER | SS_CENTERIMAGE);
}

TEST_F(LinkStaticTest, TooltipShowsTheCaptionUntilATargetIsSetThenTheTarget) {
    Bind();
    EXPECT_EQ(m_link.GetTarget(), m_caption) << "without a target the caption is the target";
    EXPECT_EQ(ShownTooltip(), m_caption);
    const QString target = kTestScheme + QStringLiteral(":guide");
    m_link.SetTarget(target);
    EXPECT_EQ(ShownTooltip(), target);
    EXPECT_EQ(m_link.GetWindowText(), m_caption) << "the caption stays";
    QToolTip::hideText();
}

TEST_F(LinkStaticTest, ALinkWithoutCaptionShowsItsTarget) {
    const QString target = kTestScheme + QStringLiteral(":first");
    m_pLabel->setText(QString());
    m_link.SetTarget(target);
    Bind();
    EXPECT_EQ(m_pLabel->text(), target);

    // A target set after binding fills an empty caption too, so the link can still be seen and clicked.
    QLabel lateLabel(&m_host);
    CLinkStatic late;
    late.SubclassWidget(&lateLabel);
    late.SetTarget(target);
    EXPECT_EQ(lateLabel.text(), target);
    EXPECT_GT(lateLabel.width(), 0);
}

struct FitCase {
    const char* name;
    Qt::Alignment alignment;
    QRect start;
};
void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.name;
}

class LinkStaticFitTest : public LinkStaticTest, public ::testing::WithParamInterface<FitCase> {};

TEST_P(LinkStaticFitTest, TakesTheExtentOfItsTextInTheLinkFont) {
    const FitCase& c = GetParam();
    m_pLabel->setAlignment(c.alignment);
    m_pLabel->setGeometry(c.start);
    Bind();
    QFont underlined = m_pLabel->font();
    underlined.setUnderline(true);
    const QFontMetrics metrics(underlined);
    const int w = metrics.horizontalAdvance(m_caption);
    const int h = metrics.height();

    QRect expected = c.start;
    if (c.alignment & Qt::AlignVCenter) {
        const int dy = (c.start.height() - h) / 2;
        expected.setTop(c.start.top() + dy);
        expected.setBottom(c.start.bottom() - dy);
    } else {
        expected.setHeight(h);
    }
    if (c.alignment & Qt::AlignHCenter) {
        const int dx = (c.start.width() - w) / 2;
        expected.setLeft(c.start.left() + dx);
        expected.setRight(c.start.right() - dx);
    } else if (c.alignment & Qt::AlignRight) {
        expected.setLeft(c.start.right() + 1 - w);
    } else {
        expected.setWidth(w);
    }
    EXPECT_EQ(m_pLabel->geometry(), expected);
    EXPECT_LE(std::abs(m_pLabel->width() - w), 1);
    if (c.alignment & Qt::AlignHCenter) {
        EXPECT_LE(std::abs(m_pLabel->geometry().center().x() - c.start.center().x()), 1)
            << "the centre stays";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Alignments, LinkStaticFitTest,
    ::testing::Values(FitCase{"centredEven", Qt::AlignHCenter | Qt::AlignVCenter, QRect(50, 40, 200, 30)},
                      FitCase{"centredOdd", Qt::AlignHCenter | Qt::AlignVCenter, QRect(51, 41, 201, 31)},
                      FitCase{"centredNarrowerThanText", Qt::AlignHCenter | Qt::AlignVCenter,
                              QRect(80, 40, 10, 4)},
                      FitCase{"leftTop", Qt::AlignLeft | Qt::AlignTop, QRect(10, 10, 300, 40)},
                      FitCase{"rightTop", Qt::AlignRight | Qt::AlignTop, QRect(10, 10, 300, 40)}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

TEST_F(LinkStaticTest, HoverTestExcludesTheRightAndBottomEdges) {
    Bind();
    const CRect rect = m_link.GetWindowRect();
    const struct {
        CPoint point;
        BOOL hovering;
    } cases[] = {
        {{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, TRUE},
        {{rect.left, rect.top}, TRUE},
        {{rect.right - 1, rect.bottom - 1}, TRUE},
        {{rect.right, rect.top}, FALSE},
        {{rect.left, rect.bottom}, FALSE},
        {{rect.left - 1, rect.top}, FALSE},
    };
    for (const auto& c : cases) {
        QCursor::setPos(c.point.x, c.point.y);
        m_link.OnTimer(CLinkStatic::kHoverTimer);
        EXPECT_EQ(m_link.m_bHovering, c.hovering) << c.point.x << "," << c.point.y;
    }
}

TEST_F(LinkStaticTest, ItsTimerFollowsThePointerUntilTheWindowEnds) {
    Bind();
    const QPoint inside = m_pLabel->mapToGlobal(m_pLabel->rect().center());
    QCursor::setPos(inside);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_link.m_bHovering == TRUE; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return PixelsOf(m_link.m_clrHover) > 0; }, 2000));
    QCursor::setPos(inside + QPoint(0, 500));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_link.m_bHovering == FALSE; }, 2000));

    m_link.OnDestroy();
    EXPECT_FALSE(m_link.KillTimer(CLinkStatic::kHoverTimer)) << "the hover timer is gone with the window";
}

TEST_F(LinkStaticTest, AClickMarksItVisitedAndOpensTheTarget) {
    const QString target = kTestScheme + QStringLiteral(":guide");
    m_link.SetTarget(target);
    Bind();
    QTest::mouseClick(m_pLabel, Qt::LeftButton, Qt::NoModifier, m_pLabel->rect().center());
    EXPECT_TRUE(m_link.m_bVisited);
    ASSERT_EQ(m_recorder.m_urls.size(), 1);
    EXPECT_EQ(m_recorder.m_urls.front(), QUrl(target));
    EXPECT_TRUE(m_boxes.empty());

    // A double click (press, release, second press, release) opens the target once, not twice.
    const QPoint centre = m_pLabel->rect().center();
    QTest::mouseClick(m_pLabel, Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(m_pLabel, Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseRelease(m_pLabel, Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(m_recorder.m_urls.size(), 2);
    EXPECT_TRUE(m_link.m_bVisited);

    // Other buttons do nothing.
    QTest::mouseClick(m_pLabel, Qt::RightButton, Qt::NoModifier, centre);
    EXPECT_EQ(m_recorder.m_urls.size(), 2);
}

TEST_F(LinkStaticTest, ATargetThatCannotBeOpenedIsReportedByNameWithItsCode) {
    const QString missing = QStringLiteral("/nonexistent-quarrow-folder/user-guide.html");
    m_link.SetTarget(QUrl::fromLocalFile(missing).toString());
    Bind();
    QTest::mouseClick(m_pLabel, Qt::LeftButton, Qt::NoModifier, m_pLabel->rect().center());
    EXPECT_TRUE(m_link.m_bVisited) << "visited even though opening failed";
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, QStringLiteral("Unable to open hyperlink:\n\n") +
                                   QUrl::fromLocalFile(missing).toString() +
                                   QStringLiteral("\n\nUnknown error (2) occurred."));
    EXPECT_EQ(m_boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(m_boxes[0].owner, &m_host);

    EXPECT_EQ(m_link.OpenTarget(missing, SW_SHOW), 2);
    EXPECT_EQ(m_link.OpenTarget(QString(), SW_SHOW), 2);
    EXPECT_GT(m_link.OpenTarget(kTestScheme + QStringLiteral(":x"), SW_SHOW), 32);
}

TEST_F(LinkStaticTest, OutlivingItsWidgetIsHarmless) {
    Bind();
    delete m_pLabel;
    m_pLabel = nullptr;
    QCoreApplication::processEvents();
    EXPECT_FALSE(m_link.IsWindow());
    m_link.OnTimer(CLinkStatic::kHoverTimer);
    m_link.SetVisited(TRUE);
    m_link.SetTarget(kTestScheme + QStringLiteral(":later"));
    m_link.FitToText();
    EXPECT_FALSE(m_link.KillTimer(CLinkStatic::kHoverTimer)) << "its timer went with the widget";
}

#include "link_static_test.moc"
