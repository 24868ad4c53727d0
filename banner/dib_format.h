// Layout of 32-bit device-independent pixel memory and the standard 256-colour palette, free of any
// drawing library so the pixel and palette rules can be checked on plain memory.
#pragma once

#include "base/afx_types.h"

#include <cstdint>
#include <vector>

constexpr uint32_t BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

// The 40-byte header that describes a device-independent bitmap. A positive biHeight means the rows are
// stored bottom-up: memory row 0 is the bottom row on the device.
struct BITMAPINFOHEADER {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;
};

// A header followed by room for the largest colour table any depth can need.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

// Bytes in one stored row: width x bitCount bits rounded up to whole 32-bit words.
int BytesPerLine(int width, int bitCount);

// Colour-table entries that a bitmap of this depth carries: 2, 16 or 256 for 1, 4 or 8 bits, else none.
int ColourTableEntries(int bitCount);

// The header of the one pixel format the program creates: 32 bits, uncompressed, bottom-up, no table.
BITMAPINFOHEADER MakeDibHeader32(int width, int height);

// The entries of the standard palette in order: 16 fixed colours, a 6x6x6 cube with red changing fastest,
// then 24 greys, cut off after `count` entries. A count outside 1..256 means all 256.
std::vector<PALETTEENTRY> BuildStandardPaletteEntries(int count);

// A platform colour 0x00BBGGRR as a 32-bit pixel word 0x00RRGGBB.
uint32_t PixelFromColorRef(COLORREF colour);
