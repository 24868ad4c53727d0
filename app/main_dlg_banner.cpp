// The main window's banner: its images and ripple made at start-up, painting, the Effect box, the ripple
// timer and the mouse drops.
#include <algorithm>

#include "app/main_dlg.h"

#include "platform/dc.h"
#include "platform/picture_holder.h"
#include "res/resource.h"

namespace {

constexpr int kBannerWidth = 575;
constexpr int kBannerHeight = 80;
constexpr int kFooterHeight = 40;
// The footer's top lies this far above the window's bottom edge (630 in the smallest window).
constexpr int kFooterAboveBottom = 38;
// The ripple covers the banner's lower half on screen, which is memory rows 0..39.
constexpr int kWaterHeight = 40;
constexpr UINT kEffectPeriodMs = 30;

} // namespace

void CMainDlg::SetUpBanner() {
    CPictureHolder picture;
    picture.CreateFromBitmap(IDB_BANNER);
    m_imgBannerSource.CreateFromPicture(picture, kBannerWidth, kBannerHeight);
    m_imgBanner.CreateFromPicture(picture, kBannerWidth, kBannerHeight);
    picture.CreateFromBitmap(IDB_FOOTER);
    m_imgFooter.CreateFromPicture(picture, kBannerWidth, kFooterHeight);

    m_water.Create(kBannerWidth, kWaterHeight);
    m_nCheckEffect = 1;
    m_btnEffect.SetCheck(BST_UNCHECKED);
}

void CMainDlg::DropBannerPictures() {
    m_imgBanner.Release();
    m_imgBannerSource.Release();
    Invalidate();
}

void CMainDlg::LayOutBanner(int cx, int cy) {
    m_nBannerLeft = std::max(0, (cx - kBannerWidth) / 2);
    m_nFooterTop = cy - kFooterAboveBottom;
}

void CMainDlg::PaintBanner(CDC& dc) {
    m_imgBanner.Draw(&dc, m_nBannerLeft, 0, FALSE);
    m_imgFooter.Draw(&dc, m_nBannerLeft, m_nFooterTop, FALSE);
}

void CMainDlg::OnEffect() {
    // A second click restarts the same timer; nothing stops it.
    m_nEffectTimer = static_cast<uint32_t>(SetTimer(kEffectTimer, kEffectPeriodMs));
    m_nCheckEffect = m_btnEffect.GetCheck();
}

void CMainDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kEffectTimer) {
        if (m_nCheckEffect == 0)
            m_water.Clear();
        // The step reads and writes 40 full rows of both images: with either missing there is nothing to
        // ripple.
        const uint32_t* source = m_imgBannerSource.GetPixels();
        uint32_t* target = m_imgBanner.GetPixels();
        if (source && target && m_imgBannerSource.GetWidth() == kBannerWidth &&
            m_imgBanner.GetWidth() == kBannerWidth && m_imgBannerSource.GetHeight() >= kWaterHeight &&
            m_imgBanner.GetHeight() >= kWaterHeight)
            m_water.Step(source, target);
        // Only the banner is repainted, at once; OnPaint draws the rippled image there.
        const CRect banner(m_nBannerLeft, 0, m_nBannerLeft + m_imgBanner.GetWidth(), m_imgBanner.GetHeight());
        RedrawWindow(&banner);
    }
    Default();
}

void CMainDlg::OnMouseMove(UINT /*nFlags*/, CPoint point) {
    const CRect banner(m_nBannerLeft, 0, m_nBannerLeft + m_imgBannerSource.GetWidth(),
                       m_imgBannerSource.GetHeight());
    if (banner.PtInRect(point))
        m_water.AddDrop(point.x - m_nBannerLeft - 5, kBannerHeight - point.y, 5, 50, m_water.GetPage());
    Default();
}

void CMainDlg::OnLButtonDown(UINT /*nFlags*/, CPoint point) {
    const CRect banner(m_nBannerLeft, 0, m_nBannerLeft + m_imgBannerSource.GetWidth(),
                       m_imgBannerSource.GetHeight());
    if (banner.PtInRect(point))
        m_water.AddDrop(point.x - m_nBannerLeft - 5, kBannerHeight - point.y, 10, 200, m_water.GetPage());
    Default();
}
