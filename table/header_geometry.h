// Where an owner-drawn header item puts its title and its sort arrow.
//
// Pure geometry on the item rectangle, so the painting code only has to draw what this returns:
//  - the title's rectangle starts as the item rectangle, moves by (+1, +2, +1) for left, top and right
//    while the item is pressed (state exactly ODS_SELECTED), loses 3*o on the right when the item
//    carries the arrow, and o on both sides, where o = item height / 4 (truncated toward zero);
//  - the arrow is an etched triangle drawn as two open paths, a light one and a dark one, whose points
//    depend only on the unmoved item's right edge R, bottom B and o; it points up for an ascending sort.
#pragma once

#include "platform/afx_types.h"

#include <vector>

// Header item format flags.
constexpr int HDF_LEFT = 0x0000;
constexpr int HDF_RIGHT = 0x0001;
constexpr int HDF_CENTER = 0x0002;
constexpr int HDF_OWNERDRAW = 0x8000;

// Text drawing flags.
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

// Owner-draw item state: the item is pressed.
constexpr UINT ODS_SELECTED = 0x0001;

struct HeaderItemGeometry {
    CRect rcText;                  // where the title goes
    bool bDrawText = false;        // false when rcText has no width left: no title is drawn
    bool bDrawArrow = false;       // true for the sort column's item
    std::vector<CPoint> lightPath; // arrow path in the highlight colour (drawn first)
    std::vector<CPoint> darkPath;  // arrow path in the shadow colour
};

// The DrawText flags for a title with the given header format: single line, vertically centred, no
// prefix, no clipping, ending in an ellipsis when too long (0x8924), aligned centre (HDF_CENTER, 0x8925),
// else right (HDF_RIGHT, 0x8926), else left (0x8924).
UINT HeaderTextFlags(int nFormat);

// The geometry of item nItem painted in rcItem with owner-draw state nItemState, while the header's sort
// column is nSortColumn (-1 for none) sorted in direction bSortAscending. Each path is drawn by moving to
// its first point and drawing lines through the others; a line includes its start and excludes its end.
HeaderItemGeometry ComputeHeaderItemGeometry(const CRect& rcItem, UINT nItemState, int nItem, int nSortColumn,
                                             BOOL bSortAscending);
