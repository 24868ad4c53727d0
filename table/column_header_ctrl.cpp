#include "table/column_header_ctrl.h"

#include <QAbstractScrollArea>
#include <QDataStream>
#include <QIODevice>
#include <QWidget>

#include <vector>

#include "base/display_text.h"
#include "model/header_geometry.h"
#include "model/width_record.h"
#include "platform/dc.h"
#include "platform/header_view.h"

namespace {

// The title is read into a buffer of this many bytes, its terminating NUL included.
constexpr std::size_t kTitleBufferSize = 255;

bool IsStoring(const QDataStream& ar) {
    const QIODevice* device = ar.device();
    return device && (device->openMode() & QIODevice::WriteOnly) &&
           !(device->openMode() & QIODevice::ReadOnly);
}

void DrawPath(CDC& dc, const std::vector<CPoint>& path) {
    if (path.empty())
        return;
    dc.MoveTo(path.front().x, path.front().y);
    for (std::size_t i = 1; i < path.size(); ++i)
        dc.LineTo(path[i].x, path[i].y);
}

} // namespace

void CColumnHeaderCtrl::SetSortIndicator(int nColumn, BOOL bAscending) {
    m_nSortColumn = nColumn;
    m_bSortAscending = bAscending;
    HDITEM item;
    item.mask = HDI_FORMAT;
    if (GetItem(nColumn, &item)) {
        item.fmt |= HDF_OWNERDRAW;
        SetItem(nColumn, item);
    }
    InvalidateItems();
}

void CColumnHeaderCtrl::InvalidateItems() {
    if (CHeaderView* view = HeaderView())
        view->viewport()->update();
}

void CColumnHeaderCtrl::Serialize(QDataStream& ar) {
    if (IsStoring(ar)) {
        const int nCount = GetItemCount();
        if (nCount < 0)
            return;
        std::vector<int> widths(static_cast<std::size_t>(nCount));
        for (int i = 0; i < nCount; ++i) {
            HDITEM item;
            item.mask = HDI_WIDTH;
            GetItem(i, &item);
            widths[static_cast<std::size_t>(i)] = item.cxy;
        }
        const QByteArray record = WriteWidthRecord(widths);
        ar.writeRawData(record.constData(), static_cast<int>(record.size()));
        return;
    }
    if (!ar.device())
        return;
    // The whole rest of the stream is the record: it is checked as a whole before any width changes, so a
    // record that ends early is ignored rather than half applied.
    const QByteArray record = ar.device()->readAll();
    const std::optional<std::vector<int>> widths = ReadWidthRecord(record, GetItemCount());
    if (!widths)
        return;
    for (std::size_t i = 0; i < widths->size(); ++i) {
        HDITEM item;
        item.mask = HDI_WIDTH;
        item.cxy = (*widths)[i];
        SetItem(static_cast<int>(i), item);
    }
}

void CColumnHeaderCtrl::DrawItem(DRAWITEMSTRUCT* pDrawItem) {
    CDC& dc = *pDrawItem->pDC;
    const CRect& rcItem = pDrawItem->rcItem;
    const int nItem = static_cast<int>(pDrawItem->itemID);

    const int nSavedDC = dc.SaveDC();
    dc.IntersectClipRect(rcItem);
    dc.FillSolidRect(rcItem, GetSysColor(COLOR_BTNFACE));

    HDITEM item;
    item.mask = HDI_TEXT | HDI_FORMAT;
    GetItem(nItem, &item);
    if (item.text.size() >= kTitleBufferSize)
        item.text.resize(kTitleBufferSize - 1);

    const HeaderItemGeometry geometry =
        ComputeHeaderItemGeometry(rcItem, pDrawItem->itemState, nItem, m_nSortColumn, m_bSortAscending);
    if (geometry.bDrawText)
        dc.DrawText(DecodeForDisplay(item.text), geometry.rcText, HeaderTextFlags(item.fmt));

    if (geometry.bDrawArrow) {
        const COLORREF previousPen = dc.SelectPenColour(GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawPath(dc, geometry.lightPath);
        dc.SelectPenColour(GetSysColor(COLOR_BTNSHADOW));
        DrawPath(dc, geometry.darkPath);
        dc.SelectPenColour(previousPen);
    }
    dc.RestoreDC(nSavedDC);
}
