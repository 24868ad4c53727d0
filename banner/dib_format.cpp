#include "banner/dib_format.h"

#include <array>
#include <cstddef>

int BytesPerLine(int width, int bitCount) {
    const int64_t bits = int64_t{width} * bitCount;
    return static_cast<int>(((bits + 31) & ~int64_t{31}) / 8);
}

int ColourTableEntries(int bitCount) {
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

BITMAPINFOHEADER MakeDibHeader32(int width, int height) {
    BITMAPINFOHEADER header;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    return header;
}

std::vector<PALETTEENTRY> BuildStandardPaletteEntries(int count) {
    const size_t wanted = count <= 0 || count > 256 ? 256 : static_cast<size_t>(count);

    static constexpr std::array<std::array<uint8_t, 3>, 16> kFixed = {{
        {0, 0, 0},
        {255, 255, 255},
        {0, 0, 255},
        {0, 255, 0},
        {0, 255, 255},
        {255, 0, 0},
        {255, 0, 255},
        {255, 255, 0},
        {0, 0, 128},
        {0, 128, 0},
        {0, 128, 128},
        {128, 0, 0},
        {128, 0, 128},
        {128, 128, 0},
        {128, 128, 128},
        {192, 192, 192},
    }};

    std::vector<PALETTEENTRY> entries;
    entries.reserve(wanted);
    auto add = [&](int red, int green, int blue) {
        if (entries.size() < wanted) {
            entries.push_back(
                {static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue), 0});
        }
    };

    for (const auto& rgb : kFixed) {
        add(rgb[0], rgb[1], rgb[2]);
    }
    for (int blue = 0; blue < 6; ++blue) {
        for (int green = 0; green < 6; ++green) {
            for (int red = 0; red < 6; ++red) {
                add(red * 255 / 5, green * 255 / 5, blue * 255 / 5);
            }
        }
    }
    for (int k = 0; k < 24; ++k) {
        const int grey = k * 255 / 23;
        add(grey, grey, grey);
    }
    return entries;
}

uint32_t PixelFromColorRef(COLORREF colour) {
    return (static_cast<uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<uint32_t>(GetGValue(colour)) << 8) | static_cast<uint32_t>(GetBValue(colour));
}
