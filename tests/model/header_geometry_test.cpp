#include "model/header_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// Flag values as the platform defines them.
constexpr UINT kPressed = 0x0001;  // ODS_SELECTED
constexpr UINT kFocused = 0x0010;  // ODS_FOCUS
constexpr int kRight = 0x0001;     // HDF_RIGHT
constexpr int kCenter = 0x0002;    // HDF_CENTER
constexpr int kOwnerDraw = 0x8000; // HDF_OWNERDRAW

using Path = std::vector<CPoint>;

struct GeometryCase {
    const char* name;
    CRect rcItem;
    UINT nState;
    int nItem;
    int nSortColumn;
    BOOL bAscending;
    CRect rcText;
    bool bDrawText;
    Path light;
    Path dark;
};

const Path kUpLight80 = {{70, 5}, {75, 14}, {63, 14}};
const Path kUpDark80 = {{64, 14}, {70, 4}};
const Path kDownLight80 = {{74, 5}, {69, 15}};
const Path kDownDark80 = {{68, 15}, {64, 5}, {74, 5}};

const GeometryCase kCases[] = {
    {"sorted ascending", {0, 0, 80, 20}, 0, 3, 3, TRUE, {5, 0, 60, 20}, true, kUpLight80, kUpDark80},
    {"sorted descending", {0, 0, 80, 20}, 0, 3, 3, FALSE, {5, 0, 60, 20}, true, kDownLight80, kDownDark80},
    // Pressed: the title moves right and down, the arrow stays.
    {"pressed", {0, 0, 80, 20}, kPressed, 3, 3, TRUE, {6, 2, 61, 20}, true, kUpLight80, kUpDark80},
    {"pressed and focused",
     {0, 0, 80, 20},
     kPressed | kFocused,
     3,
     3,
     TRUE,
     {5, 0, 60, 20},
     true,
     kUpLight80,
     kUpDark80},
    {"other state", {0, 0, 80, 20}, kFocused, 3, 3, FALSE, {5, 0, 60, 20}, true, kDownLight80, kDownDark80},
    // Owner-drawn but not the sort column: inset by o only, no arrow.
    {"not sorted", {0, 0, 80, 20}, 0, 2, 4, TRUE, {5, 0, 75, 20}, true, {}, {}},
    {"not sorted pressed", {0, 0, 80, 20}, kPressed, 2, 4, TRUE, {6, 2, 76, 20}, true, {}, {}},
    {"no sort column", {0, 0, 80, 20}, 0, 0, -1, TRUE, {5, 0, 75, 20}, true, {}, {}},
    // An item further right: x follows R; y depends only on B and o, not on the top.
    {"third item",
     {160, 0, 240, 20},
     0,
     2,
     2,
     TRUE,
     {165, 0, 220, 20},
     true,
     {{230, 5}, {235, 14}, {223, 14}},
     {{224, 14}, {230, 4}}},
    {"top not zero",
     {0, 4, 80, 24},
     0,
     1,
     1,
     FALSE,
     {5, 4, 60, 24},
     true,
     {{74, 5}, {69, 19}},
     {{68, 19}, {64, 5}, {74, 5}}},
    {"height truncated",
     {0, 0, 80, 23},
     0,
     1,
     1,
     TRUE,
     {5, 0, 60, 23},
     true,
     {{70, 5}, {75, 17}, {63, 17}},
     {{64, 17}, {70, 4}}},
    // Too narrow: no title, but the sort column's arrow is still computed (the clip cuts it).
    {"narrow sorted",
     {0, 0, 20, 20},
     0,
     0,
     0,
     TRUE,
     {5, 0, 0, 20},
     false,
     {{10, 5}, {15, 14}, {3, 14}},
     {{4, 14}, {10, 4}}},
    {"narrow left equals right", {0, 0, 10, 20}, 0, 0, 1, TRUE, {5, 0, 5, 20}, false, {}, {}},
    {"narrow one pixel left", {0, 0, 11, 20}, 0, 0, 1, TRUE, {5, 0, 6, 20}, true, {}, {}},
    {"zero height",
     {0, 0, 80, 0},
     0,
     0,
     0,
     FALSE,
     {0, 0, 80, 0},
     true,
     {{79, 0}, {79, 0}},
     {{78, 0}, {79, 0}, {79, 0}}},
    // Negative height: o = -18 / 4 truncates toward zero to -4, and the insets turn outward.
    {"negative rectangle", {10, 0, 0, -18}, 0, 0, 1, TRUE, {6, 0, 4, -18}, false, {}, {}},
    {"negative rectangle sorted",
     {10, 0, 0, -18},
     0,
     0,
     0,
     TRUE,
     {6, 0, 16, -18},
     true,
     {{8, -4}, {4, -15}, {10, -15}},
     {{11, -15}, {8, -5}}},
};

TEST(HeaderGeometry, TextRectangleAndArrowPaths) {
    for (const GeometryCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const HeaderItemGeometry g =
            ComputeHeaderItemGeometry(c.rcItem, c.nState, c.nItem, c.nSortColumn, c.bAscending);
        EXPECT_EQ(g.rcText, c.rcText);
        EXPECT_EQ(g.bDrawText, c.bDrawText);
        EXPECT_EQ(g.bDrawArrow, c.nItem == c.nSortColumn);
        EXPECT_EQ(g.lightPath, c.light);
        EXPECT_EQ(g.darkPath, c.dark);
    }
}

TEST(HeaderGeometry, HugeRectanglesStayInRange) {
    const HeaderItemGeometry g =
        ComputeHeaderItemGeometry(CRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), kPressed, 0, 0, TRUE);
    const int o = static_cast<int>((static_cast<long long>(INT_MAX) - INT_MIN) / 4);
    EXPECT_EQ(g.rcText.left, INT_MIN + 1 + o);
    EXPECT_EQ(g.rcText.top, INT_MIN + 2);
    EXPECT_EQ(g.rcText.right, INT_MIN + 4); // INT_MAX + 1 - 4o, passing through values beyond 32 bits
    EXPECT_FALSE(g.bDrawText);
    ASSERT_EQ(g.lightPath.size(), 3u);
    EXPECT_EQ(g.lightPath[0], CPoint(INT_MAX - 2 * o, o));

    // Pressing an item at the very edge would move it past INT_MAX: it stops there.
    const HeaderItemGeometry edge =
        ComputeHeaderItemGeometry(CRect(INT_MAX - 5, INT_MAX - 1, INT_MAX, INT_MAX), kPressed, 0, 0, TRUE);
    EXPECT_EQ(edge.rcText, CRect(INT_MAX - 4, INT_MAX, INT_MAX, INT_MAX));
    EXPECT_EQ(edge.lightPath, (Path{{INT_MAX, 0}, {INT_MAX, INT_MAX - 1}, {INT_MAX - 2, INT_MAX - 1}}));
}

TEST(HeaderGeometry, TextFlagsFollowTheAlignment) {
    struct Case {
        int nFormat;
        UINT nFlags;
    };
    const Case cases[] = {
        {0, 0x8924},
        {kRight, 0x8926},
        {kCenter, 0x8925},
        {kCenter | kRight, 0x8925}, // centre wins
        {kOwnerDraw, 0x8924},
        {kOwnerDraw | kRight, 0x8926},
        {kOwnerDraw | kCenter | 0x4000, 0x8925},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HeaderTextFlags(c.nFormat), c.nFlags) << "format " << c.nFormat;
}

} // namespace
