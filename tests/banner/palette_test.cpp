// The logical palette object: what it accepts and how its entries are read back.
#include "banner/palette.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<PALETTEENTRY> Entries(int count) {
    std::vector<PALETTEENTRY> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7, 0});
    return entries;
}

TEST(Palette, AcceptsOneTo256EntriesOnlyWhenEmpty) {
    struct Case {
        int count;
        bool accepted;
    };
    for (const Case c : {Case{0, false}, Case{1, true}, Case{256, true}, Case{257, false}}) {
        SCOPED_TRACE(c.count);
        CPalette palette;
        EXPECT_EQ(palette.CreatePalette(Entries(c.count)) != FALSE, c.accepted);
        EXPECT_EQ(palette.GetEntryCount(), c.accepted ? c.count : 0);
        EXPECT_EQ(palette.GetSafeHandle() != nullptr, c.accepted);
    }

    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(Entries(4)));
    EXPECT_FALSE(palette.CreatePalette(Entries(8)));
    EXPECT_EQ(palette.GetEntryCount(), 4);
    EXPECT_TRUE(palette.DeleteObject());
    EXPECT_FALSE(palette.DeleteObject());
    EXPECT_EQ(palette.GetSafeHandle(), nullptr);
    EXPECT_TRUE(palette.CreatePalette(Entries(8)));
    EXPECT_EQ(palette.GetEntryCount(), 8);
}

TEST(Palette, ReadsBackEntriesWithinRange) {
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(Entries(5)));
    PALETTEENTRY out[8] = {};
    EXPECT_EQ(palette.GetPaletteEntries(3, 8, out), 2u);
    EXPECT_EQ(out[0], Entries(5)[3]);
    EXPECT_EQ(out[1], Entries(5)[4]);
    EXPECT_EQ(out[2], PALETTEENTRY{});
    EXPECT_EQ(palette.GetPaletteEntries(5, 1, out), 0u);
    EXPECT_EQ(palette.GetPaletteEntries(0, 1, nullptr), 0u);
}

} // namespace
