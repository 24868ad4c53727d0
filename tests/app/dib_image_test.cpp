// The DIB image on Qt: creation and its refusals, the picture import, and drawing with memory row 0 at the
// bottom.
#include "app/dib_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <QImage>
#include <QPainter>

#include "platform/dc.h"
#include "platform/picture_holder.h"

namespace {

constexpr QRgb kBackground = 0xFF123456;

// A canvas filled with kBackground that an image is drawn on through a device context.
struct Canvas {
    explicit Canvas(int width = 40, int height = 30) : image(width, height, QImage::Format_RGB32) {
        image.fill(kBackground);
    }
    BOOL Draw(CDibImage& dib, int x, int y) {
        QPainter painter(&image);
        CDC dc(&painter);
        return dib.Draw(&dc, x, y, FALSE);
    }
    uint32_t At(int x, int y) const { return image.pixel(x, y) & 0x00FFFFFFu; }
    QImage image;
};

// Distinct 0x00RRGGBB words: red from the column, green from the row.
std::vector<uint32_t> Pattern(int width, int height) {
    std::vector<uint32_t> words(static_cast<size_t>(width * height));
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x)
            words[static_cast<size_t>(r * width + x)] =
                (static_cast<uint32_t>(10 + x) << 16) | (static_cast<uint32_t>(20 + r) << 8) | 0x07u;
    return words;
}

BITMAPINFO Info32(int width, int height) {
    BITMAPINFO info;
    info.bmiHeader = MakeDibHeader32(width, height);
    return info;
}

TEST(DibImage, StartsEmptyAndDrawsNothing) {
    CDibImage dib;
    EXPECT_EQ(dib.GetWidth(), 0);
    EXPECT_EQ(dib.GetHeight(), 0);
    EXPECT_EQ(dib.GetPixels(), nullptr);
    EXPECT_EQ(dib.GetPalette().GetSafeHandle(), nullptr);
    Canvas canvas;
    EXPECT_FALSE(canvas.Draw(dib, 0, 0));
    EXPECT_EQ(canvas.At(0, 0), kBackground & 0x00FFFFFFu);
}

TEST(DibImage, CreateCopiesPixelsAndBuildsTheStandardPalette) {
    const std::vector<uint32_t> words = Pattern(5, 3);
    const BITMAPINFO info = Info32(5, 3);
    CDibImage dib;
    ASSERT_TRUE(dib.Create(&info, words.data()));
    EXPECT_EQ(dib.GetWidth(), 5);
    EXPECT_EQ(dib.GetHeight(), 3);
    ASSERT_NE(dib.GetPixels(), nullptr);
    EXPECT_NE(dib.GetPixels(), words.data());
    EXPECT_EQ(std::memcmp(dib.GetPixels(), words.data(), words.size() * 4), 0);

    const std::vector<PALETTEENTRY> standard = BuildStandardPaletteEntries(256);
    ASSERT_EQ(dib.GetPalette().GetEntryCount(), 256);
    std::vector<PALETTEENTRY> entries(256);
    EXPECT_EQ(dib.GetPalette().GetPaletteEntries(0, 256, entries.data()), 256u);
    EXPECT_EQ(entries, standard);

    // Release empties the image but keeps the palette.
    dib.Release();
    EXPECT_EQ(dib.GetWidth(), 0);
    EXPECT_EQ(dib.GetHeight(), 0);
    EXPECT_EQ(dib.GetPixels(), nullptr);
    EXPECT_EQ(dib.GetPalette().GetEntryCount(), 256);
}

TEST(DibImage, RefusedCreateLeavesTheImageEmpty) {
    const std::vector<uint32_t> words = Pattern(4, 4);
    struct Case {
        const char* name;
        int width, height, bitCount;
        bool nullHeader, nullPixels;
    };
    const Case cases[] = {
        {"null header", 4, 4, 32, true, false},
        {"null pixels", 4, 4, 32, false, true},
        {"zero width", 0, 4, 32, false, false},
        {"negative width", -4, 4, 32, false, false},
        {"zero height", 4, 0, 32, false, false},
        {"top-down height", 4, -4, 32, false, false},
        {"depth 3", 4, 4, 3, false, false},
        {"depth 0", 4, 4, 0, false, false},
        // 40 GB of pixel memory: refused before anything is allocated.
        {"huge", 100000, 100000, 32, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDibImage dib;
        const BITMAPINFO full = Info32(4, 4);
        ASSERT_TRUE(dib.Create(&full, words.data()));
        BITMAPINFO info = Info32(c.width, c.height);
        info.bmiHeader.biBitCount = static_cast<uint16_t>(c.bitCount);
        EXPECT_FALSE(dib.Create(c.nullHeader ? nullptr : &info, c.nullPixels ? nullptr : words.data()));
        EXPECT_EQ(dib.GetPixels(), nullptr);
        EXPECT_EQ(dib.GetWidth(), 0);
        EXPECT_EQ(dib.GetHeight(), 0);
    }
}

TEST(DibImage, StatedImageSizeLimitsTheCopyToTheImage) {
    // A stated size below the image copies only that many bytes; one above it never reads or writes past
    // the rows the header describes.
    const std::vector<uint32_t> words = Pattern(3, 2);
    BITMAPINFO info = Info32(3, 2);
    info.bmiHeader.biSizeImage = 8;
    CDibImage dib;
    ASSERT_TRUE(dib.Create(&info, words.data()));
    EXPECT_EQ(dib.GetPixels()[0], words[0]);
    EXPECT_EQ(dib.GetPixels()[1], words[1]);
    for (int i = 2; i < 6; ++i)
        EXPECT_EQ(dib.GetPixels()[i], 0u) << i;

    std::vector<uint32_t> longer = Pattern(3, 2);
    longer.resize(1000, 0xFFFFFFFFu);
    info.bmiHeader.biSizeImage = 4000;
    ASSERT_TRUE(dib.Create(&info, longer.data()));
    EXPECT_EQ(std::memcmp(dib.GetPixels(), words.data(), 24), 0);
}

TEST(DibImage, DrawPutsMemoryRowZeroAtTheBottomUnscaled) {
    const int w = 7, h = 5, x0 = 3, y0 = 4;
    const std::vector<uint32_t> words = Pattern(w, h);
    const BITMAPINFO info = Info32(w, h);
    CDibImage dib;
    ASSERT_TRUE(dib.Create(&info, words.data()));
    Canvas canvas;
    EXPECT_EQ(canvas.Draw(dib, x0, y0), h);
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(canvas.At(x0 + x, y0 + h - 1 - r), words[static_cast<size_t>(r * w + x)])
                << x << "," << r;
    // Nothing around the image is touched.
    const uint32_t bg = kBackground & 0x00FFFFFFu;
    for (int x = x0 - 1; x <= x0 + w; ++x) {
        EXPECT_EQ(canvas.At(x, y0 - 1), bg);
        EXPECT_EQ(canvas.At(x, y0 + h), bg);
    }
    for (int y = y0; y < y0 + h; ++y) {
        EXPECT_EQ(canvas.At(x0 - 1, y), bg);
        EXPECT_EQ(canvas.At(x0 + w, y), bg);
    }
}

TEST(DibImage, DrawShowsChangesToThePixelMemory) {
    // The effect writes the memory between draws: every draw shows what it holds now.
    const std::vector<uint32_t> words = Pattern(4, 2);
    const BITMAPINFO info = Info32(4, 2);
    CDibImage dib;
    ASSERT_TRUE(dib.Create(&info, words.data()));
    Canvas canvas;
    canvas.Draw(dib, 0, 0);
    EXPECT_EQ(canvas.At(0, 1), words[0]);
    dib.GetPixels()[0] = 0x00ABCDEFu;
    canvas.Draw(dib, 0, 0);
    EXPECT_EQ(canvas.At(0, 1), 0x00ABCDEFu);
}

TEST(DibImage, DrawOfOtherDepthsFollowsTheirLayout) {
    // 2 x 2 images; the first memory bytes describe the bottom row on the device.
    struct Case {
        const char* name;
        int bitCount;
        std::vector<uint8_t> bytes; // two rows, each padded to 4 bytes
        std::vector<RGBQUAD> table;
        uint32_t bottomLeft, bottomRight, topLeft;
    };
    const std::vector<RGBQUAD> table = {{0, 0, 0, 0}, {0xFF, 0x80, 0x10, 0}, {0x20, 0x40, 0x60, 0}};
    const Case cases[] = {
        {"24 bits: blue, green, red bytes",
         24,
         {0x01, 0x02, 0x03, 0x11, 0x12, 0x13, 0, 0, 0x21, 0x22, 0x23, 0x31, 0x32, 0x33, 0, 0},
         {},
         0x030201u,
         0x131211u,
         0x232221u},
        {"16 bits: 5-5-5 words",
         16,
         {0x1F, 0x00, 0x00, 0x7C, 0xE0, 0x03, 0, 0},
         {},
         0x0000FFu,
         0xFF0000u,
         0x00FF00u},
        {"8 bits: colour table", 8, {1, 2, 0, 0, 0, 1, 0, 0}, table, 0x1080FFu, 0x604020u, 0x000000u},
        {"1 bit: high bit first", 1, {0x40, 0, 0, 0, 0x80, 0, 0, 0}, table, 0x000000u, 0x1080FFu, 0x1080FFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BITMAPINFO info = Info32(2, 2);
        info.bmiHeader.biBitCount = static_cast<uint16_t>(c.bitCount);
        for (size_t i = 0; i < c.table.size(); ++i)
            info.bmiColors[i] = c.table[i];
        CDibImage dib;
        ASSERT_TRUE(dib.Create(&info, c.bytes.data()));
        Canvas canvas;
        EXPECT_EQ(canvas.Draw(dib, 0, 0), 2);
        EXPECT_EQ(canvas.At(0, 1), c.bottomLeft);
        EXPECT_EQ(canvas.At(1, 1), c.bottomRight);
        EXPECT_EQ(canvas.At(0, 0), c.topLeft);
    }
}

TEST(DibImage, ColourTableImagesGetTheirTableAsPalette) {
    BITMAPINFO info = Info32(4, 1);
    info.bmiHeader.biBitCount = 8;
    info.bmiColors[0] = {1, 2, 3, 0};
    info.bmiColors[255] = {7, 8, 9, 0};
    const uint8_t bytes[4] = {0, 0, 0, 0};
    CDibImage dib;
    ASSERT_TRUE(dib.Create(&info, bytes));
    ASSERT_EQ(dib.GetPalette().GetEntryCount(), 256);
    PALETTEENTRY entries[256];
    dib.GetPalette().GetPaletteEntries(0, 256, entries);
    EXPECT_EQ(entries[0], (PALETTEENTRY{3, 2, 1, 0}));
    EXPECT_EQ(entries[255], (PALETTEENTRY{9, 8, 7, 0}));
}

TEST(DibImage, FourBitImagesAreHeldButNotDrawn) {
    // Qt has no pixel format for 4-bit memory: such an image keeps its bytes and reports that it drew
    // nothing.
    BITMAPINFO info = Info32(8, 1);
    info.bmiHeader.biBitCount = 4;
    const uint8_t bytes[4] = {0x12, 0x34, 0x56, 0x78};
    CDibImage dib;
    ASSERT_TRUE(dib.Create(&info, bytes));
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(dib.GetPixels())[3], 0x78);
    Canvas canvas;
    EXPECT_FALSE(canvas.Draw(dib, 0, 0));
    EXPECT_EQ(canvas.At(0, 0), kBackground & 0x00FFFFFFu);
}

TEST(DibImage, PictureRowsGoToMemoryRowsAndShowMirrored) {
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(2, 1, qRgb(0, 0, 255));
    CPictureHolder holder;
    ASSERT_TRUE(holder.CreateFromImage(picture));
    CDibImage dib;
    dib.CreateFromPicture(holder, 3, 2);
    ASSERT_NE(dib.GetPixels(), nullptr);
    EXPECT_EQ(dib.GetPixels()[0], 0x00FF0000u);
    EXPECT_EQ(dib.GetPixels()[1], 0x00FFFFFFu);
    EXPECT_EQ(dib.GetPixels()[5], 0x000000FFu);
    // The picture's top-left red pixel shows at the bottom-left of the drawn image.
    Canvas canvas;
    canvas.Draw(dib, 10, 10);
    EXPECT_EQ(canvas.At(10, 11), 0x00FF0000u);
    EXPECT_EQ(canvas.At(12, 10), 0x000000FFu);
    EXPECT_EQ(canvas.At(10, 10), 0x00FFFFFFu);
}

TEST(DibImage, PictureIsStretchedToFillTheImage) {
    // A 2 x 1 picture, left half green and right half blue, made into 6 x 3: no column or row is left
    // unpainted and the halves keep their sides.
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(0, 255, 0));
    picture.setPixel(1, 0, qRgb(0, 0, 255));
    CPictureHolder holder;
    ASSERT_TRUE(holder.CreateFromImage(picture));
    CDibImage dib;
    dib.CreateFromPicture(holder, 6, 3);
    ASSERT_EQ(dib.GetWidth(), 6);
    ASSERT_EQ(dib.GetHeight(), 3);
    for (int r = 0; r < 3; ++r) {
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dib.GetPixels()[r * 6 + x], x < 3 ? 0x0000FF00u : 0x000000FFu) << x << "," << r;
    }
}

TEST(DibImage, BannerBitmapBecomesA575PixelImage) {
    CPictureHolder holder;
    ASSERT_TRUE(holder.CreateFromBitmap(138));
    CDibImage dib;
    dib.CreateFromPicture(holder, 575, 80);
    ASSERT_NE(dib.GetPixels(), nullptr);
    EXPECT_EQ(dib.GetWidth(), 575);
    EXPECT_EQ(dib.GetHeight(), 80);
    // Each memory row is the picture's row, stretched: its first and last words are the picture's ends.
    const QImage picture(QStringLiteral(":/bitmap138.bmp"));
    for (int y : {0, 39, 79}) {
        EXPECT_EQ(dib.GetPixels()[y * 575], picture.pixel(0, y) & 0x00FFFFFFu) << y;
        EXPECT_EQ(dib.GetPixels()[y * 575 + 574], picture.pixel(569, y) & 0x00FFFFFFu) << y;
    }
    for (int i = 0; i < 575 * 80; ++i)
        ASSERT_EQ(dib.GetPixels()[i] >> 24, 0u) << i;
}

TEST(DibImage, MissingPictureOrSizeGivesNoPixelsOfIt) {
    CPictureHolder missing;
    EXPECT_FALSE(missing.CreateFromBitmap(9999));
    EXPECT_TRUE(missing.IsEmpty());
    // An empty picture renders nothing: the image is made, black.
    CDibImage dib;
    dib.CreateFromPicture(missing, 4, 2);
    ASSERT_NE(dib.GetPixels(), nullptr);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(dib.GetPixels()[i], 0u);

    CPictureHolder banner;
    ASSERT_TRUE(banner.CreateFromBitmap(138));
    dib.CreateFromPicture(banner, 0, 80);
    EXPECT_EQ(dib.GetPixels(), nullptr);
    EXPECT_EQ(dib.GetWidth(), 0);
}

TEST(DibImage, StandardPaletteReplacesWhatThePaletteHeld) {
    struct Case {
        int count, entries;
    };
    const Case cases[] = {{0, 256}, {-5, 256}, {300, 256}, {256, 256}, {10, 10}, {20, 20}, {1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        CPalette palette;
        ASSERT_TRUE(palette.CreatePalette(std::vector<PALETTEENTRY>(3, PALETTEENTRY{9, 9, 9, 0})));
        ASSERT_TRUE(BuildStandardPalette(palette, c.count));
        ASSERT_EQ(palette.GetEntryCount(), c.entries);
        std::vector<PALETTEENTRY> entries(static_cast<size_t>(c.entries));
        palette.GetPaletteEntries(0, static_cast<UINT>(c.entries), entries.data());
        EXPECT_EQ(entries, BuildStandardPaletteEntries(c.count));
    }
}

} // namespace
