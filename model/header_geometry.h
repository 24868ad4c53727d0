// Where an owner-drawn header item puts its title and its sort arrow.
//
// Pure geometry on the item rectangle, so the painting code only has to draw what this returns:
//  - the title's rectangle starts as the item rectangle, moves by (+1, +2, +1) for left, top and right
//    while the item is pressed (state exactly ODS_SELECTED, 1), loses 3*o on the right when the item
//    carries the arrow, and o on both sides, where o = item height / 4 (truncated toward zero);
//  - the arrow is an etched triangle drawn as two open paths, a light one and a dark one, whose points
//    depend only on the unmoved item's right edge R, bottom B and o; it points up for an ascending sort.
#pragma once

#include "base/afx_types.h"

#include <vector>

struct HeaderItemGeometry {
    CRect rcText;                  // where the title goes
    bool bDrawText = false;        // false when rcText has no width left: no title is drawn
    bool bDrawArrow = false;       // true for the sort column's item
    std::vector<CPoint> lightPath; // arrow path in the highlight colour (drawn first)
    std::vector<CPoint> darkPath;  // arrow path in the shadow colour
};

// The DrawText flags for a title with the given header item format: single line, vertically centred, no
// prefix, no clipping, ending in an ellipsis when too long (0x8924), aligned centre when the format has
// HDF_CENTER (2) (0x8925), else right when it has HDF_RIGHT (1) (0x8926), else left (0x8924). The flag
// constants themselves belong to the platform layer.
UINT HeaderTextFlags(int nFormat);

// The geometry of item nItem painted in rcItem with owner-draw state nItemState, while the header's sort
// column is nSortColumn (-1 for none) sorted in direction bSortAscending. Each path is drawn by moving to
// its first point and drawing lines through the others; a line includes its start and excludes its end.
HeaderItemGeometry ComputeHeaderItemGeometry(const CRect& rcItem, UINT nItemState, int nItem, int nSortColumn,
                                             BOOL bSortAscending);
