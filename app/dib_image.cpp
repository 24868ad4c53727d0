#include "app/dib_image.h"

#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include <QPainter>

#include "platform/dc.h"
#include "platform/picture_holder.h"

namespace {

// Largest pixel memory an image may have: the header's size field is 32 bits and the platform's own
// bitmaps stop well below it, so anything larger is a damaged header, not a picture.
constexpr int64_t kMaxImageBytes = std::numeric_limits<int32_t>::max();

bool IsSupportedDepth(int bitCount) {
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

// The Qt format that reads pixel memory of this depth byte for byte; Invalid when Qt has none (4 bits).
QImage::Format ViewFormat(int bitCount) {
    switch (bitCount) {
    case 1:
        return QImage::Format_Mono;
    case 8:
        return QImage::Format_Indexed8;
    case 16:
        return QImage::Format_RGB555;
    case 24:
        return QImage::Format_BGR888;
    case 32:
        return QImage::Format_RGB32;
    default:
        return QImage::Format_Invalid;
    }
}

} // namespace

BOOL BuildStandardPalette(CPalette& palette, int count) {
    palette.DeleteObject();
    return palette.CreatePalette(BuildStandardPaletteEntries(count));
}

CDibImage::CDibImage() : m_nColourUse(DIB_RGB_COLORS), m_nTableEntries(0) {
    Release();
}

CDibImage::~CDibImage() {
    Release();
    m_palette.DeleteObject();
}

void CDibImage::Release() {
    m_view = QImage();
    m_pPixels.reset();
    std::memset(static_cast<void*>(&m_info), 0, sizeof(m_info));
    m_nColourUse = DIB_RGB_COLORS;
    m_nTableEntries = 0;
}

BOOL CDibImage::Create(const BITMAPINFO* pbmi, const void* pPixels) {
    Release();
    if (!pbmi || !pPixels)
        return FALSE;

    const BITMAPINFOHEADER& header = pbmi->bmiHeader;
    // Only bottom-up images of a known depth are held: a top-down (negative) height or an empty size would
    // leave the drawing rules without a meaning.
    if (header.biWidth <= 0 || header.biHeight <= 0 || !IsSupportedDepth(header.biBitCount))
        return FALSE;
    const int64_t stride = (int64_t{header.biWidth} * header.biBitCount + 31) / 32 * 4;
    const int64_t sectionBytes = stride * header.biHeight;
    if (sectionBytes > kMaxImageBytes)
        return FALSE;

    m_nTableEntries = ColourTableEntries(header.biBitCount);
    m_info.bmiHeader = header;
    std::memcpy(m_info.bmiColors, pbmi->bmiColors, sizeof(RGBQUAD) * static_cast<size_t>(m_nTableEntries));

    m_pPixels.reset(new (std::nothrow) uint32_t[static_cast<size_t>(sectionBytes / 4)]());
    if (!m_pPixels) {
        Release();
        return FALSE;
    }
    // The header's own size counts when it gives one, but never beyond the memory just made.
    int64_t copyBytes = header.biSizeImage != 0 ? int64_t{header.biSizeImage} : sectionBytes;
    if (copyBytes > sectionBytes)
        copyBytes = sectionBytes;
    std::memcpy(m_pPixels.get(), pPixels, static_cast<size_t>(copyBytes));

    if (!BuildPalette()) {
        Release();
        return FALSE;
    }

    const QImage::Format format = ViewFormat(header.biBitCount);
    if (format != QImage::Format_Invalid) {
        m_view = QImage(reinterpret_cast<uchar*>(m_pPixels.get()), header.biWidth, header.biHeight,
                        static_cast<qsizetype>(stride), format);
        if (m_nTableEntries > 0) {
            QList<QRgb> colours;
            colours.reserve(m_nTableEntries);
            for (int i = 0; i < m_nTableEntries; ++i) {
                const RGBQUAD& q = m_info.bmiColors[i];
                colours.push_back(qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue));
            }
            m_view.setColorTable(colours);
        }
    }
    return TRUE;
}

void CDibImage::CreateFromPicture(CPictureHolder& picture, int width, int height) {
    if (width <= 0 || height <= 0) {
        Release();
        return;
    }
    // The surface the picture is rendered on; black where the picture leaves anything uncovered.
    QImage surface(width, height, QImage::Format_RGB32);
    if (surface.isNull()) {
        Release();
        return;
    }
    surface.fill(Qt::black);
    {
        QPainter painter(&surface);
        CDC dc(&painter);
        const CRect rect(0, 0, width, height);
        picture.Render(&dc, rect, rect);
    }

    BITMAPINFO info;
    info.bmiHeader = MakeDibHeader32(width, height);
    const std::vector<uint32_t> scratch(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (!Create(&info, scratch.data()))
        return;

    // Picture row y goes to memory row y: drawn bottom-up, the picture appears mirrored top to bottom.
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(surface.constScanLine(y));
        uint32_t* row = m_pPixels.get() + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x)
            row[x] = PixelFromColorRef(RGB(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
    }
}

BOOL CDibImage::Draw(CDC* pDC, int x, int y, BOOL /*forceBackground*/) {
    if (!m_pPixels || m_view.isNull() || !pDC || !pDC->GetPainter() || !pDC->GetPainter()->isActive())
        return FALSE;
    // Qt's paint devices are true-colour, so no palette is selected. Memory row r lands on device row
    // y + (height - 1 - r); copying row by row keeps every copy an unscaled blit.
    QPainter* painter = pDC->GetPainter();
    const int width = GetWidth();
    const int height = GetHeight();
    for (int r = 0; r < height; ++r)
        painter->drawImage(QPoint(x, y + height - 1 - r), m_view, QRect(0, r, width, 1));
    return height;
}

BOOL CDibImage::BuildPalette() {
    m_palette.DeleteObject();
    if (!m_pPixels)
        return FALSE;
    if (m_nTableEntries == 0)
        return BuildStandardPalette(m_palette, 256);
    std::vector<PALETTEENTRY> entries(static_cast<size_t>(m_nTableEntries));
    for (int i = 0; i < m_nTableEntries; ++i) {
        const RGBQUAD& q = m_info.bmiColors[i];
        entries[static_cast<size_t>(i)] = {q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
    }
    return m_palette.CreatePalette(entries);
}
