// A device-independent image: the header of its pixel format and plain pixel memory that the program reads
// and writes directly, drawn to a device unscaled with memory row 0 at the bottom.
#pragma once

#include <cstdint>
#include <memory>

#include <QImage>

#include "banner/dib_format.h"
#include "banner/palette.h"
#include "base/afx_types.h"

class CDC;
class CPictureHolder;

// Replaces the palette's entries with the first `count` entries of the standard palette (all 256 when
// count is outside 1..256); TRUE when the palette then holds them.
BOOL BuildStandardPalette(CPalette& palette, int count);

class CDibImage {
public:
    CDibImage();
    virtual ~CDibImage();
    CDibImage(const CDibImage&) = delete;
    CDibImage& operator=(const CDibImage&) = delete;

    // Frees the pixel memory and clears the header; the palette stays.
    void Release();
    // Makes pixel memory of the header's size and depth and copies the given pixels into it. FALSE, with
    // the image left empty, for a null argument or a size or depth that cannot be held.
    BOOL Create(const BITMAPINFO* pbmi, const void* pPixels);
    // Makes a 32-bit width x height image of the picture stretched to that size: picture row y becomes
    // memory row y, so the picture shows upside down when drawn.
    void CreateFromPicture(CPictureHolder& picture, int width, int height);
    // Copies the whole image unscaled to the device with its top-left corner at (x, y), memory row 0 at the
    // bottom. Returns the number of rows drawn; FALSE when the image is empty or cannot be drawn.
    BOOL Draw(CDC* pDC, int x, int y, BOOL forceBackground = FALSE);

    int GetWidth() const { return m_info.bmiHeader.biWidth; }
    int GetHeight() const { return m_info.bmiHeader.biHeight; }
    // The pixel memory as 32-bit words (rows BytesPerLine apart), or nullptr while empty.
    uint32_t* GetPixels() const { return m_pPixels.get(); }
    const CPalette& GetPalette() const { return m_palette; }

protected:
    // Rebuilds m_palette: the standard palette for images without a colour table, else the table itself.
    BOOL BuildPalette();

    BITMAPINFO m_info;
    std::unique_ptr<uint32_t[]> m_pPixels;
    UINT m_nColourUse;
    int m_nTableEntries;
    CPalette m_palette;

private:
    // A view of the pixel memory in the matching Qt format, made once per Create so drawing allocates
    // nothing.
    QImage m_view;
};
