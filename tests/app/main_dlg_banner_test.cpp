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
#include "res/resource.h"

namespace {

constexpr int kWidth = 575;
constexpr int kHeight = 80;

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

    bool BannerEqualsSource() const {
        const uint32_t* shown = m_dlg->m_imgBanner.GetPixels();
        const uint32_t* source = m_dlg->m_imgBannerSource.GetPixels();
        return std::equal(shown, shown + kWidth * kHeight, source);
    }

    ChangedArea Changed() const {
        ChangedArea area;
        const uint32_t* shown = m_dlg->m_imgBanner.GetPixels();
        const uint32_t* source = m_dlg->m_imgBannerSource.GetPixels();
        for (int r = 0; r < kHeight; ++r) {
            for (int x = 0; x < kWidth; ++x) {
                if (shown[r * kWidth + x] != source[r * kWidth + x]) {
                    area.left = std::min(area.left, x);
                    area.right = std::max(area.right, x);
                    area.bottom = std::min(area.bottom, r);
                    area.top = std::max(area.top, r);
                }
            }
        }
        return area;
    }

    QImage Grab() const { return m_dlg->GetSafeWidget()->grab().toImage(); }

    std::unique_ptr<CMainDlg> m_dlg;
};

TEST_F(BannerTest, StartsIdleWithBothBannerCopiesAndTheFooter) {
    EXPECT_EQ(m_dlg->m_btnEffect.GetSafeWidget(), m_dlg->GetDlgItem(IDC_EFFECT)->GetSafeWidget());
    EXPECT_EQ(m_dlg->m_btnEffect.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(m_dlg->m_nCheckEffect, 1);
    EXPECT_FALSE(m_dlg->KillTimer(CMainDlg::kEffectTimer));

    const struct {
        const CDibImage* image;
        int height;
    } images[] = {{&m_dlg->m_imgBannerSource, 80}, {&m_dlg->m_imgBanner, 80}, {&m_dlg->m_imgFooter, 40}};
    for (const auto& i : images) {
        EXPECT_EQ(i.image->GetWidth(), kWidth);
        EXPECT_EQ(i.image->GetHeight(), i.height);
        EXPECT_NE(i.image->GetPixels(), nullptr);
    }
    EXPECT_NE(m_dlg->m_imgBanner.GetPixels(), m_dlg->m_imgBannerSource.GetPixels());
    EXPECT_TRUE(BannerEqualsSource());
    EXPECT_EQ(m_dlg->m_water.GetPage(), 0);
    // Moves without a button reach the window.
    EXPECT_TRUE(m_dlg->GetSafeWidget()->hasMouseTracking());
}

TEST_F(BannerTest, EffectStartsTheTimerAndEveryClickRestartsIt) {
    ClickEffect();
    EXPECT_EQ(m_dlg->m_btnEffect.GetCheck(), BST_CHECKED);
    EXPECT_EQ(m_dlg->m_nCheckEffect, 1);
    EXPECT_EQ(m_dlg->m_nEffectTimer, 1971u);
    EXPECT_TRUE(m_dlg->KillTimer(1971));

    // Unticking starts it again too: nothing in the window stops it.
    ClickEffect();
    EXPECT_EQ(m_dlg->m_btnEffect.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(m_dlg->m_nCheckEffect, 0);
    EXPECT_EQ(m_dlg->m_nEffectTimer, 1971u);
    EXPECT_TRUE(m_dlg->KillTimer(1971));
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

    PaintRecorder recorder;
    m_dlg->GetSafeWidget()->installEventFilter(&recorder);

    m_dlg->OnTimer(7);
    EXPECT_EQ(m_dlg->m_water.GetPage(), 0);
    EXPECT_TRUE(recorder.rects.empty());

    m_dlg->OnTimer(CMainDlg::kEffectTimer);
    EXPECT_EQ(m_dlg->m_water.GetPage(), 1);
    ASSERT_EQ(recorder.rects.size(), 1u);
    EXPECT_EQ(recorder.rects[0], QRect(0, 0, kWidth, kHeight));
    m_dlg->GetSafeWidget()->removeEventFilter(&recorder);
}

// Where a move or a press drops, seen at the first tick after the box is ticked: the area of changed
// banner words (column, memory row), or no change at all.
struct DropCase {
    const char* name;
    bool press;
    CPoint point;
    bool ripples;
    int left, right, bottom, top;  // bounds the changed area must lie within
    int minWidth;
};

class BannerDrop : public BannerTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(BannerDrop, LandsUnderThePointerInTheLowerHalf) {
    const DropCase& c = GetParam();
    // Dropped while idle: nothing shows until the first tick.
    if (c.press)
        m_dlg->OnLButtonDown(0, c.point);
    else
        m_dlg->OnMouseMove(0, c.point);
    EXPECT_TRUE(BannerEqualsSource());

    ClickEffect();
    m_dlg->OnTimer(CMainDlg::kEffectTimer);
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
    m_dlg->OnMouseMove(0, CPoint(300, 60));
    ClickEffect();
    m_dlg->OnTimer(CMainDlg::kEffectTimer);
    ASSERT_FALSE(BannerEqualsSource());

    ClickEffect();
    ASSERT_EQ(m_dlg->m_nCheckEffect, 0);
    m_dlg->OnLButtonDown(0, CPoint(200, 70));
    m_dlg->OnTimer(CMainDlg::kEffectTimer);
    EXPECT_TRUE(BannerEqualsSource());

    // Ticked again, the water starts flat: only new drops ripple.
    ClickEffect();
    m_dlg->OnTimer(CMainDlg::kEffectTimer);
    EXPECT_TRUE(BannerEqualsSource());
    m_dlg->OnMouseMove(0, CPoint(100, 60));
    m_dlg->OnTimer(CMainDlg::kEffectTimer);
    m_dlg->OnTimer(CMainDlg::kEffectTimer);
    m_dlg->OnTimer(CMainDlg::kEffectTimer);
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
    m_dlg->OnLButtonDown(0, CPoint(250, 65));
    ClickEffect();
    m_dlg->OnTimer(CMainDlg::kEffectTimer);
    ASSERT_FALSE(BannerEqualsSource());

    const QImage shot = Grab();
    ASSERT_GE(shot.height(), 668);
    const uint32_t* banner = m_dlg->m_imgBanner.GetPixels();
    const uint32_t* footer = m_dlg->m_imgFooter.GetPixels();
    for (int x = 0; x < kWidth; ++x) {
        for (int r = 0; r < kHeight; ++r)
            ASSERT_EQ(shot.pixel(x, kHeight - 1 - r) & 0x00FFFFFFu, banner[r * kWidth + x]) << x << "," << r;
        // The footer's 40 rows start at row 630; the client area ends at row 667.
        for (int y = 630; y < 668; ++y)
            ASSERT_EQ(shot.pixel(x, y) & 0x00FFFFFFu, footer[(669 - y) * kWidth + x]) << x << "," << y;
    }
}

TEST_F(BannerTest, MissingBannerImagesMakeTicksAndDropsHarmless) {
    m_dlg->m_imgBanner.Release();
    m_dlg->m_imgBannerSource.Release();
    ClickEffect();
    m_dlg->OnMouseMove(0, CPoint(300, 60));
    m_dlg->OnLButtonDown(0, CPoint(300, 60));
    m_dlg->OnTimer(CMainDlg::kEffectTimer);
    EXPECT_EQ(m_dlg->m_water.GetPage(), 0);
    // The window still paints: the footer is there, the banner rows hold no picture.
    const QImage shot = Grab();
    EXPECT_EQ(shot.pixel(10, 640) & 0x00FFFFFFu, m_dlg->m_imgFooter.GetPixels()[29 * kWidth + 10]);
}

}  // namespace
