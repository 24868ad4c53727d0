// The banner in the real main window, made offscreen: start-up, the Effect box and its timer, the ticks,
// the mouse drops and what the window shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QThread>
#include <QWindow>

#include "app/main_dlg.h"
#include "main_dlg_controls.h"
#include "platform/picture_holder.h"
#include "res/resource.h"

namespace {

constexpr int kWidth = 575;
constexpr int kHeight = 80;
constexpr int kFooterHeight = 40;

// Records the rectangles of the paint events a widget receives.
class PaintRecorder : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
    std::vector<QRect> rects;
};

// The columns and memory rows of the banner words that differ from the unrippled source.
struct ChangedArea {
    int left = INT_MAX, right = -1, bottom = INT_MAX, top = -1;
    bool Empty() const { return right < 0; }
};

class BannerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dlg = std::make_unique<CMainDlg>();
        ASSERT_TRUE(m_dlg->CreateModeless());
        // The pictures as the resources hold them, unrippled, made as the window makes its own.
        CPictureHolder picture;
        ASSERT_TRUE(picture.CreateFromBitmap(IDB_BANNER));
        m_source.CreateFromPicture(picture, kWidth, kHeight);
        ASSERT_TRUE(picture.CreateFromBitmap(IDB_FOOTER));
        m_footer.CreateFromPicture(picture, kWidth, kFooterHeight);
        ASSERT_NE(m_source.GetPixels(), nullptr);
        ASSERT_NE(m_footer.GetPixels(), nullptr);
    }
    void TearDown() override {
        m_dlg->DestroyWindow();
        m_dlg.reset();
    }

    // A click on the Effect box, through the box itself.
    void ClickEffect() {
        auto* box = qobject_cast<QAbstractButton*>(m_dlg->GetDlgItem(IDC_EFFECT)->GetSafeWidget());
        ASSERT_NE(box, nullptr);
        box->click();
    }
    // The pointer moving without a button, or the left button pressed, at a point of the window.
    void Move(CPoint point) { SendMouse(QEvent::MouseMove, point, Qt::NoButton); }
    void Press(CPoint point) { SendMouse(QEvent::MouseButtonPress, point, Qt::LeftButton); }
    void SendMouse(QEvent::Type type, CPoint point, Qt::MouseButton button) {
        QWidget* window = m_dlg->GetSafeWidget();
        const QPointF at(point.x, point.y);
        QMouseEvent event(type, at, window->mapToGlobal(at), button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &event);
    }
    // A tick of the window timer `id`, as the platform delivers it.
    void Tick(UINT_PTR id = CMainDlg::kEffectTimer) { static_cast<CDialog&>(*m_dlg).OnTimer(id); }

    // The banner rows the window shows, as memory rows of words (bottom-up, as the pictures keep them).
    std::vector<uint32_t> ShownBanner() const {
        const QImage shot = Grab();
        std::vector<uint32_t> shown(static_cast<std::size_t>(kWidth * kHeight));
        for (int r = 0; r < kHeight; ++r)
            for (int x = 0; x < kWidth; ++x)
                shown[static_cast<std::size_t>(r * kWidth + x)] =
                    shot.pixel(x, kHeight - 1 - r) & 0x00FFFFFFu;
        return shown;
    }

    bool BannerEqualsSource() const {
        const std::vector<uint32_t> shown = ShownBanner();
        return std::equal(shown.begin(), shown.end(), m_source.GetPixels());
    }

    ChangedArea Changed() const {
        ChangedArea area;
        const std::vector<uint32_t> shown = ShownBanner();
        const uint32_t* source = m_source.GetPixels();
        for (int r = 0; r < kHeight; ++r) {
            for (int x = 0; x < kWidth; ++x) {
                if (shown[static_cast<std::size_t>(r * kWidth + x)] != source[r * kWidth + x]) {
                    area.left = std::min(area.left, x);
                    area.right = std::max(area.right, x);
                    area.bottom = std::min(area.bottom, r);
                    area.top = std::max(area.top, r);
                }
            }
        }
        return area;
    }

    // The footer's 40 rows start at row 630; the client area ends at row 667.
    void ExpectFooterShown(const QImage& shot) const {
        for (int x = 0; x < kWidth; ++x)
            for (int y = 630; y < 668; ++y)
                ASSERT_EQ(shot.pixel(x, y) & 0x00FFFFFFu, m_footer.GetPixels()[(669 - y) * kWidth + x])
                    << x << "," << y;
    }

    QImage Grab() const { return m_dlg->GetSafeWidget()->grab().toImage(); }

    std::unique_ptr<CMainDlg> m_dlg;
    CDibImage m_source;
    CDibImage m_footer;
};

TEST_F(BannerTest, StartsIdleWithTheBannerAndTheFooterShown) {
    EXPECT_EQ(ButtonOf(*m_dlg, IDC_EFFECT).GetCheck(), BST_UNCHECKED);
    EXPECT_FALSE(m_dlg->KillTimer(CMainDlg::kEffectTimer));

    const QImage shot = Grab();
    ASSERT_GE(shot.height(), 668);
    EXPECT_TRUE(BannerEqualsSource());
    ExpectFooterShown(shot);
    // Moves without a button reach the window.
    EXPECT_TRUE(m_dlg->GetSafeWidget()->hasMouseTracking());
}

TEST_F(BannerTest, EffectStartsTheTimerAndEveryClickRestartsIt) {
    ClickEffect();
    EXPECT_EQ(ButtonOf(*m_dlg, IDC_EFFECT).GetCheck(), BST_CHECKED);
    EXPECT_TRUE(m_dlg->KillTimer(1971));

    // Unticking starts it again too: nothing in the window stops it.
    ClickEffect();
    EXPECT_EQ(ButtonOf(*m_dlg, IDC_EFFECT).GetCheck(), BST_UNCHECKED);
    EXPECT_TRUE(m_dlg->KillTimer(1971));
}

TEST_F(BannerTest, BeforeTheFirstClickATickRipplesAsIfTheBoxWereTicked) {
    // The window starts as if the box were ticked, though it shows unticked: a tick (which only the timer
    // the first click starts would give) steps the water instead of flattening it.
    Move(CPoint(300, 60));
    Tick();
    EXPECT_FALSE(BannerEqualsSource());
}

TEST_F(BannerTest, TickStepsTheRippleAndRepaintsOnlyTheBanner) {
    // A window paints only once it is on screen.
    QWindow* handle = m_dlg->GetSafeWidget()->windowHandle();
    ASSERT_NE(handle, nullptr);
    QElapsedTimer clock;
    clock.start();
    while (!handle->isExposed() && clock.elapsed() < 5000)
        QCoreApplication::processEvents();
    ASSERT_TRUE(handle->isExposed());
    QCoreApplication::processEvents();

    ClickEffect();
    Move(CPoint(300, 60));
    // The box repaints itself over the window's background: that paint is done before recording.
    QCoreApplication::processEvents();
    PaintRecorder recorder;
    m_dlg->GetSafeWidget()->installEventFilter(&recorder);

    Tick(7);
    EXPECT_TRUE(recorder.rects.empty());

    Tick();
    ASSERT_EQ(recorder.rects.size(), 1u);
    EXPECT_EQ(recorder.rects[0], QRect(0, 0, kWidth, kHeight));
    m_dlg->GetSafeWidget()->removeEventFilter(&recorder);
    EXPECT_FALSE(BannerEqualsSource());
}

TEST_F(BannerTest, OtherTimersLeaveTheWaterAlone) {
    ClickEffect();
    Move(CPoint(300, 60));
    Tick(7);
    EXPECT_TRUE(BannerEqualsSource());
}

// Where a move or a press drops, seen at the first tick after the box is ticked: the area of changed
// banner words (column, memory row), or no change at all.
struct DropCase {
    const char* name;
    bool press;
    CPoint point;
    bool ripples;
    int left, right, bottom, top; // bounds the changed area must lie within
    int minWidth;
};

class BannerDrop : public BannerTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(BannerDrop, LandsUnderThePointerInTheLowerHalf) {
    const DropCase& c = GetParam();
    // Dropped while idle: nothing shows until the first tick.
    if (c.press)
        Press(c.point);
    else
        Move(c.point);
    EXPECT_TRUE(BannerEqualsSource());

    ClickEffect();
    Tick();
    const ChangedArea area = Changed();
    if (!c.ripples) {
        EXPECT_TRUE(area.Empty());
        return;
    }
    ASSERT_FALSE(area.Empty());
    EXPECT_GE(area.left, c.left);
    EXPECT_LE(area.right, c.right);
    EXPECT_GE(area.bottom, c.bottom);
    EXPECT_LE(area.top, c.top);
    EXPECT_GE(area.right - area.left + 1, c.minWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Points, BannerDrop,
    ::testing::Values(
        // Centre (295, 20): radius 5 disturbs columns 290..299, rows 15..24; radius 10 twice as far.
        DropCase{"move", false, CPoint(300, 60), true, 290, 299, 15, 24, 1},
        DropCase{"press", true, CPoint(300, 60), true, 285, 304, 10, 29, 15},
        DropCase{"bottom right corner", false, CPoint(574, 79), true, 564, 573, 1, 5, 1},
        // Columns 0..4 ask for a random column; the row still follows the pointer.
        DropCase{"left edge", false, CPoint(2, 60), true, 0, 574, 15, 24, 1},
        DropCase{"left edge press", true, CPoint(4, 60), true, 0, 574, 10, 29, 15},
        DropCase{"right of the banner", false, CPoint(575, 60), false, 0, 0, 0, 0, 0},
        DropCase{"below the banner", true, CPoint(300, 80), false, 0, 0, 0, 0, 0},
        DropCase{"left of the banner", true, CPoint(-1, 60), false, 0, 0, 0, 0, 0},
        // The upper half lies over no water: a drop there farther than its radius adds nothing.
        DropCase{"upper half", false, CPoint(300, 20), false, 0, 0, 0, 0, 0},
        DropCase{"top row", true, CPoint(300, 0), false, 0, 0, 0, 0, 0}),
    [](const ::testing::TestParamInfo<DropCase>& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(BannerTest, UntickedBoxFlattensTheWaterAtTheNextTick) {
    Move(CPoint(300, 60));
    ClickEffect();
    Tick();
    ASSERT_FALSE(BannerEqualsSource());

    ClickEffect();
    ASSERT_EQ(ButtonOf(*m_dlg, IDC_EFFECT).GetCheck(), BST_UNCHECKED);
    Press(CPoint(200, 70));
    Tick();
    EXPECT_TRUE(BannerEqualsSource());

    // Ticked again, the water starts flat: only new drops ripple.
    ClickEffect();
    Tick();
    EXPECT_TRUE(BannerEqualsSource());
    Move(CPoint(100, 60));
    Tick();
    Tick();
    Tick();
    EXPECT_FALSE(BannerEqualsSource());
}

TEST_F(BannerTest, RunningTimerRipplesWhatThePointerDrops) {
    ClickEffect();
    QWidget* window = m_dlg->GetSafeWidget();
    QMouseEvent move(QEvent::MouseMove, QPointF(300, 60), window->mapToGlobal(QPointF(300, 60)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);

    QElapsedTimer clock;
    clock.start();
    while (BannerEqualsSource() && clock.elapsed() < 5000) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    EXPECT_FALSE(BannerEqualsSource());
}

TEST_F(BannerTest, WindowShowsTheBannerAtTheTopAndTheFooterAtRow630) {
    Press(CPoint(250, 65));
    ClickEffect();
    Tick();
    ASSERT_FALSE(BannerEqualsSource());

    // The rippled banner the window holds is what it paints: a tick changes both alike.
    const QImage shot = Grab();
    ASSERT_GE(shot.height(), 668);
    const std::vector<uint32_t> banner = ShownBanner();
    Tick();
    EXPECT_NE(ShownBanner(), banner) << "the water still moves";
    ExpectFooterShown(shot);
}

TEST_F(BannerTest, MissingBannerImagesMakeTicksAndDropsHarmless) {
    m_dlg->DropBannerPictures();
    ClickEffect();
    Move(CPoint(300, 60));
    Press(CPoint(300, 60));
    Tick();
    // The window still paints: the footer is there, the banner rows hold no picture.
    const QImage shot = Grab();
    ExpectFooterShown(shot);
    EXPECT_FALSE(BannerEqualsSource());
}

} // namespace
