#include "banner/dib_format.h"

#include <gtest/gtest.h>

namespace {

TEST(DibFormat, BytesPerLineRoundsUpToWholeWords) {
    const struct {
        int width, bitCount, bytes;
    } cases[] = {
        {575, 32, 2300}, {570, 24, 1712}, {1, 1, 4},   {32, 1, 4},  {33, 1, 8},
        {64, 8, 64},     {65, 8, 68},     {3, 24, 12}, {4, 24, 12}, {0, 32, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BytesPerLine(c.width, c.bitCount), c.bytes) << c.width << " x " << c.bitCount;
    }
}

TEST(DibFormat, ColourTableEntriesByDepth) {
    const struct {
        int bitCount, entries;
    } cases[] = {{1, 2}, {4, 16}, {8, 256}, {2, 0}, {16, 0}, {24, 0}, {32, 0}, {0, 0}, {-8, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(ColourTableEntries(c.bitCount), c.entries) << c.bitCount;
    }
}

TEST(DibFormat, HeaderDescribesBottomUpThirtyTwoBitPixels) {
    const BITMAPINFOHEADER h = MakeDibHeader32(575, 80);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 575);
    EXPECT_EQ(h.biHeight, 80);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 32);
    EXPECT_EQ(h.biCompression, BI_RGB);
    EXPECT_EQ(h.biSizeImage, 0u);
    EXPECT_EQ(h.biXPelsPerMeter, 0);
    EXPECT_EQ(h.biYPelsPerMeter, 0);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(h.biClrImportant, 0u);
    EXPECT_EQ(ColourTableEntries(h.biBitCount), 0);
}

TEST(DibFormat, PaletteEntryCountFollowsRequest) {
    const struct {
        int request;
        size_t entries;
    } cases[] = {{0, 256}, {-5, 256}, {300, 256}, {257, 256}, {256, 256}, {1, 1}, {10, 10}, {20, 20}};
    for (const auto& c : cases) {
        EXPECT_EQ(BuildStandardPaletteEntries(c.request).size(), c.entries) << c.request;
    }
}

TEST(DibFormat, ShortPalettesTakeTheLeadingEntries) {
    const std::vector<PALETTEENTRY> full = BuildStandardPaletteEntries(256);
    const std::vector<PALETTEENTRY> ten = BuildStandardPaletteEntries(10);
    EXPECT_EQ(ten, std::vector<PALETTEENTRY>(full.begin(), full.begin() + 10));
    EXPECT_EQ(ten[9], (PALETTEENTRY{0, 128, 0, 0}));

    const std::vector<PALETTEENTRY> twenty = BuildStandardPaletteEntries(20);
    EXPECT_EQ(twenty[15], (PALETTEENTRY{192, 192, 192, 0}));
    EXPECT_EQ(twenty[16], (PALETTEENTRY{0, 0, 0, 0}));
    EXPECT_EQ(twenty[17], (PALETTEENTRY{51, 0, 0, 0}));
    EXPECT_EQ(twenty[18], (PALETTEENTRY{102, 0, 0, 0}));
    EXPECT_EQ(twenty[19], (PALETTEENTRY{153, 0, 0, 0}));
}

TEST(DibFormat, StandardPaletteEntries) {
    const std::vector<PALETTEENTRY> palette = BuildStandardPaletteEntries(256);
    const struct {
        size_t index;
        PALETTEENTRY entry;
    } cases[] = {
        {0, {0, 0, 0, 0}},         {1, {255, 255, 255, 0}},   {2, {0, 0, 255, 0}},
        {5, {255, 0, 0, 0}},       {8, {0, 0, 128, 0}},       {14, {128, 128, 128, 0}},
        {16, {0, 0, 0, 0}},        {17, {51, 0, 0, 0}},       {21, {255, 0, 0, 0}},
        {22, {0, 51, 0, 0}},       {52, {0, 0, 51, 0}},       {231, {255, 255, 255, 0}},
        {232, {0, 0, 0, 0}},       {233, {11, 11, 11, 0}},    {244, {133, 133, 133, 0}},
        {254, {243, 243, 243, 0}}, {255, {255, 255, 255, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(palette[c.index], c.entry) << "entry " << c.index;
    }
    for (const PALETTEENTRY& e : palette) {
        EXPECT_EQ(e.peFlags, 0);
    }
}

TEST(DibFormat, ColorRefBecomesPixelWord) {
    const struct {
        COLORREF colour;
        uint32_t pixel;
    } cases[] =
        {
            {RGB(255, 0, 0), 0x00FF0000u}, {RGB(0, 255, 0), 0x0000FF00u},
            {RGB(0, 0, 255), 0x000000FFu}, {RGB(0x12, 0x34, 0x56), 0x00123456u},
            {0xFF563412u, 0x00123456u}, // the flags byte of a colour never reaches the pixel
        };
    for (const auto& c : cases) {
        EXPECT_EQ(PixelFromColorRef(c.colour), c.pixel) << std::hex << c.colour;
    }
    // Pure red lands in byte 2 of the little-endian word.
    const uint32_t word = PixelFromColorRef(RGB(255, 0, 0));
    const auto* bytes = reinterpret_cast<const uint8_t*>(&word);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 255);
    EXPECT_EQ(bytes[3], 0);
}

} // namespace
