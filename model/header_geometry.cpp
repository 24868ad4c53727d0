#include "model/header_geometry.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

// Coordinates are worked out in 64 bits and brought back into range, so that no rectangle, however
// large, overflows.
int Clamp(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

CPoint Point(std::int64_t x, std::int64_t y) {
    return CPoint(Clamp(x), Clamp(y));
}

} // namespace

UINT HeaderTextFlags(int nFormat) {
    constexpr UINT kBase = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS;
    if (nFormat & HDF_CENTER)
        return kBase | DT_CENTER;
    if (nFormat & HDF_RIGHT)
        return kBase | DT_RIGHT;
    return kBase | DT_LEFT;
}

HeaderItemGeometry ComputeHeaderItemGeometry(const CRect& rcItem, UINT nItemState, int nItem, int nSortColumn,
                                             BOOL bSortAscending) {
    const std::int64_t right = rcItem.right;
    const std::int64_t bottom = rcItem.bottom;
    const std::int64_t o = (bottom - rcItem.top) / 4;
    const bool bSorted = nItem == nSortColumn;

    std::int64_t textLeft = rcItem.left;
    std::int64_t textTop = rcItem.top;
    std::int64_t textRight = rcItem.right;
    const std::int64_t textBottom = rcItem.bottom;
    // Only the plain pressed state moves the title; a pressed item with other state flags stays put.
    if (nItemState == ODS_SELECTED) {
        textLeft += 1;
        textTop += 2;
        textRight += 1;
    }
    if (bSorted)
        textRight -= 3 * o;
    textLeft += o;
    textRight -= o;

    HeaderItemGeometry g;
    g.rcText = CRect(Clamp(textLeft), Clamp(textTop), Clamp(textRight), Clamp(textBottom));
    g.bDrawText = textLeft < textRight;
    g.bDrawArrow = bSorted;
    if (!bSorted)
        return g;

    if (bSortAscending) {
        g.lightPath = {Point(right - 2 * o, o), Point(right - o, bottom - o - 1),
                       Point(right - 3 * o - 2, bottom - o - 1)};
        g.darkPath = {Point(right - 3 * o - 1, bottom - o - 1), Point(right - 2 * o, o - 1)};
    } else {
        g.lightPath = {Point(right - o - 1, o), Point(right - 2 * o - 1, bottom - o)};
        g.darkPath = {Point(right - 2 * o - 2, bottom - o), Point(right - 3 * o - 1, o),
                      Point(right - o - 1, o)};
    }
    return g;
}
