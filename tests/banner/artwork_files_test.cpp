// Checks the committed pictures: their file headers, and that the banner is stored upside down so that the
// program, which draws it flipped, shows the title above its reflection.
#include "banner/dib_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadFile(const std::string& name) {
    std::ifstream in(std::string(QUARROW_SOURCE_DIR) + "/res/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | uint32_t{b[at + 3]};
}

struct Bmp {
    uint32_t fileSize = 0;
    uint32_t dataOffset = 0;
    BITMAPINFOHEADER header;
};

Bmp ParseBmp(const std::vector<uint8_t>& b) {
    Bmp bmp;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        ADD_FAILURE() << "not a BMP file";
        return bmp;
    }
    bmp.fileSize = Le32(b, 2);
    bmp.dataOffset = Le32(b, 10);
    BITMAPINFOHEADER& h = bmp.header;
    h.biSize = Le32(b, 14);
    h.biWidth = static_cast<int32_t>(Le32(b, 18));
    h.biHeight = static_cast<int32_t>(Le32(b, 22));
    h.biPlanes = Le16(b, 26);
    h.biBitCount = Le16(b, 28);
    h.biCompression = Le32(b, 30);
    h.biClrUsed = Le32(b, 46);
    return bmp;
}

TEST(ArtworkFiles, BitmapsHaveTheExpectedFormat) {
    const struct {
        const char* name;
        int width, height, bitCount;
    } cases[] = {
        {"bitmap138.bmp", 570, 80, 24},
        {"bitmap139.bmp", 570, 40, 24},
        {"bitmap140.bmp", 64, 108, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = ReadFile(c.name);
        ASSERT_FALSE(bytes.empty());
        const Bmp bmp = ParseBmp(bytes);
        EXPECT_EQ(bmp.fileSize, bytes.size());
        EXPECT_EQ(bmp.header.biSize, 40u);
        EXPECT_EQ(bmp.header.biWidth, c.width);
        EXPECT_EQ(bmp.header.biHeight, c.height); // positive: rows stored bottom-up
        EXPECT_EQ(bmp.header.biPlanes, 1);
        EXPECT_EQ(bmp.header.biBitCount, c.bitCount);
        EXPECT_EQ(bmp.header.biCompression, BI_RGB);

        const int tableEntries = bmp.header.biClrUsed != 0 ? static_cast<int>(bmp.header.biClrUsed)
                                                           : ColourTableEntries(c.bitCount);
        EXPECT_EQ(tableEntries, ColourTableEntries(c.bitCount));
        EXPECT_EQ(bmp.dataOffset, 14u + 40u + 4u * static_cast<uint32_t>(tableEntries));
        EXPECT_EQ(bytes.size(), bmp.dataOffset + static_cast<size_t>(BytesPerLine(c.width, c.bitCount)) *
                                                     static_cast<size_t>(c.height));
    }
}

TEST(ArtworkFiles, IconIsThirtyTwoPixelRgbaPng) {
    const std::vector<uint8_t> bytes = ReadFile("icon128.png");
    ASSERT_GE(bytes.size(), 33u);
    const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_EQ(std::memcmp(bytes.data(), signature, sizeof(signature)), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 12, "IHDR", 4), 0);
    EXPECT_EQ(Be32(bytes, 16), 32u);
    EXPECT_EQ(Be32(bytes, 20), 32u);
    EXPECT_EQ(bytes[24], 8); // bits per channel
    EXPECT_EQ(bytes[25], 6); // RGB with alpha
    EXPECT_EQ(std::memcmp(bytes.data() + bytes.size() - 8, "IEND", 4), 0);
}

// The brightest pixel of the given screen rows of a 24-bit bottom-up BMP. The program shows picture row y
// at screen row height - 1 - y, and a bottom-up file stores picture row height - 1 first, so screen row s is
// stored row s.
int BrightestInScreenRows(const std::vector<uint8_t>& bytes, const Bmp& bmp, int first, int last) {
    const int stride = BytesPerLine(bmp.header.biWidth, 24);
    int brightest = 0;
    for (int s = first; s <= last; ++s) {
        const uint8_t* row = bytes.data() + bmp.dataOffset + static_cast<size_t>(s * stride);
        for (int x = 0; x < bmp.header.biWidth; ++x) {
            brightest = std::max(brightest, row[3 * x] + row[3 * x + 1] + row[3 * x + 2]);
        }
    }
    return brightest;
}

TEST(ArtworkFiles, BannerShowsTitleAboveItsDimmerReflection) {
    const std::vector<uint8_t> bytes = ReadFile("bitmap138.bmp");
    const Bmp bmp = ParseBmp(bytes);
    ASSERT_EQ(bmp.header.biHeight, 80);
    ASSERT_EQ(bytes.size(), bmp.dataOffset + 1712u * 80u);
    const int title = BrightestInScreenRows(bytes, bmp, 0, 39);
    const int water = BrightestInScreenRows(bytes, bmp, 40, 79);
    EXPECT_GT(title, 600);
    EXPECT_GT(title, water + water / 4);
}

} // namespace
