#include "plot/trace_picture.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

namespace {

constexpr int kLeft = 80, kRight = 24, kTop = 30, kBottom = 40;
constexpr int kStripHeight = 44;
constexpr int kTitleHeight = 18;
constexpr int kPanelGap = 90;

const QColor kGapColor(0xE6, 0xE6, 0xE6);
const QColor kOverlapColor(0xD0, 0x10, 0x10);
const QColor kSelectedColor(0x10, 0x20, 0x80);
const QColor kReadColor(0x20, 0x40, 0xA0);
const QColor kAxisColor(0x40, 0x40, 0x40);

std::uint64_t BlocksOf(const TracedFile& file) {
    return file.fileSize / kTraceBlockSize + (file.fileSize % kTraceBlockSize != 0);
}

// A colour of its own for each file, by its listing index: hues a golden angle apart.
QRgb FileColor(std::uint32_t index) {
    // Hues near red are left to overlaps.
    const double hue = 0.08 + 0.84 * std::fmod(index * 0.618033988749895, 1.0);
    return QColor::fromHsvF(static_cast<float>(hue), 0.55f, 0.85f).rgb();
}

// Tick values from `first` to below `end`, a round step apart, about `count` of them.
std::vector<std::uint64_t> Ticks(std::uint64_t first, std::uint64_t end, int count) {
    const double span = static_cast<double>(end - first);
    const double raw = std::max(1.0, span / count);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = magnitude;
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = magnitude * factor;
        if (step >= raw)
            break;
    }
    const auto whole = static_cast<std::uint64_t>(step);
    std::vector<std::uint64_t> ticks;
    for (std::uint64_t t = (first + whole - 1) / whole * whole; t < end && ticks.size() < 64; t += whole)
        ticks.push_back(t);
    return ticks;
}

// Pixels (0 to pixels - 1) of values in [first, end), by one multiplication in doubles: they hold any
// block number a disc has exactly, and a million files and reads go through here on every repaint.
class CPixelScale {
public:
    CPixelScale(std::uint64_t first, std::uint64_t end, int pixels)
        : m_nFirst(first), m_dScale(static_cast<double>(pixels) / static_cast<double>(end - first)),
          m_nLast(pixels - 1) {}
    int Of(std::uint64_t value) const {
        const auto pixel = static_cast<long long>(static_cast<double>(value - m_nFirst) * m_dScale);
        return static_cast<int>(std::clamp<long long>(pixel, 0, m_nLast));
    }

private:
    std::uint64_t m_nFirst;
    double m_dScale;
    int m_nLast;
};

int PixelOf(std::uint64_t value, std::uint64_t first, std::uint64_t end, int pixels) {
    return CPixelScale(first, end, pixels).Of(value);
}

// Fills runs of equal colours of one row of columns as single rectangles.
void FillColumns(QPainter& painter, QRect rect, const std::vector<QRgb>& colors) {
    for (std::size_t c = 0; c < colors.size();) {
        std::size_t run = c + 1;
        while (run < colors.size() && colors[run] == colors[c])
            ++run;
        painter.fillRect(
            QRect(rect.left() + static_cast<int>(c), rect.top(), static_cast<int>(run - c), rect.height()),
            QColor::fromRgb(colors[c]));
        c = run;
    }
}

// The next column at or after c not yet given a colour (columns are given out once each).
std::size_t NextFree(std::vector<std::uint32_t>& next, std::size_t c) {
    std::size_t root = c;
    while (next[root] != root)
        root = next[root];
    while (next[c] != root) {
        const std::size_t up = next[c];
        next[c] = static_cast<std::uint32_t>(root);
        c = up;
    }
    return root;
}

} // namespace

void CTracePicture::SetFiles(const std::vector<TracedFile>& files) {
    m_files = files;
    m_byStart.clear();
    for (std::uint32_t i = 0; i < files.size(); ++i) {
        if (BlocksOf(files[i]) > 0 && files[i].startLba < UINT64_MAX / kTraceBlockSize - BlocksOf(files[i]))
            m_byStart.push_back(i);
    }
    std::stable_sort(m_byStart.begin(), m_byStart.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return files[a].startLba < files[b].startLba; });
    m_overlaps.clear();
    std::uint64_t reach = 0;
    for (const std::uint32_t i : m_byStart) {
        const std::uint64_t first = files[i].startLba, end = first + BlocksOf(files[i]);
        if (first < reach) {
            const std::uint64_t shared = std::min(end, reach);
            if (!m_overlaps.empty() && m_overlaps.back().second >= first)
                m_overlaps.back().second = std::max(m_overlaps.back().second, shared);
            else
                m_overlaps.emplace_back(first, shared);
        }
        reach = std::max(reach, end);
    }
    UpdateFullRange();
}

void CTracePicture::SetReads(std::vector<TraceRead> reads) {
    m_before = std::move(reads);
    m_bReads = true;
    UpdateFullRange();
}

void CTracePicture::SetReplayedReads(std::vector<TraceRead> reads) {
    m_after = std::move(reads);
    m_bAfter = true;
    UpdateFullRange();
}

void CTracePicture::UpdateFullRange() {
    std::uint64_t first = UINT64_MAX, end = 0;
    for (const std::uint32_t i : m_byStart) {
        first = std::min(first, m_files[i].startLba);
        end = std::max(end, m_files[i].startLba + BlocksOf(m_files[i]));
    }
    for (const std::vector<TraceRead>* reads : {&m_before, &m_after}) {
        for (const TraceRead& r : *reads) {
            first = std::min(first, r.offset / kTraceBlockSize);
            end = std::max(end, (r.End() - 1) / kTraceBlockSize + 1);
        }
    }
    if (first >= end) {
        first = 0;
        end = 1;
    }
    m_nFullFirst = first;
    m_nFullEnd = end;
    if (!m_bRangeSet) {
        m_nFirstBlock = first;
        m_nEndBlock = end;
    }
}

void CTracePicture::SetBlockRange(std::uint64_t first, std::uint64_t last) {
    m_nFirstBlock = first;
    m_nEndBlock = std::max(first + 1, last);
    m_bRangeSet = true;
}

void CTracePicture::ResetBlockRange() {
    m_bRangeSet = false;
    m_nFirstBlock = m_nFullFirst;
    m_nEndBlock = m_nFullEnd;
}

QRect CTracePicture::StripRect(QSize size) const {
    const int height =
        HasReads() ? kStripHeight : std::max(kStripHeight, size.height() - kTop - kTitleHeight - kBottom);
    return QRect(kLeft, kTop + kTitleHeight, std::max(1, size.width() - kLeft - kRight), height);
}

std::uint64_t CTracePicture::BlockAtX(QSize size, int x) const {
    const QRect strip = StripRect(size);
    const int column = std::clamp(x - strip.left(), 0, strip.width() - 1);
    const auto span = static_cast<unsigned __int128>(m_nEndBlock - m_nFirstBlock);
    return m_nFirstBlock + static_cast<std::uint64_t>(span * static_cast<unsigned>(column) /
                                                      static_cast<unsigned>(strip.width()));
}

std::optional<std::uint32_t> CTracePicture::FileAt(QSize size, QPoint point) const {
    const QRect strip = StripRect(size);
    if (!strip.contains(point))
        return std::nullopt;
    const std::uint64_t from = BlockAtX(size, point.x());
    const std::uint64_t to = point.x() + 1 < strip.right() + 1 ? BlockAtX(size, point.x() + 1) : m_nEndBlock;
    // The first file by start that covers a block of the column.
    const auto it =
        std::upper_bound(m_byStart.begin(), m_byStart.end(), std::max(from + 1, to) - 1,
                         [&](std::uint64_t block, std::uint32_t i) { return block < m_files[i].startLba; });
    std::optional<std::uint32_t> found;
    for (auto k = it; k != m_byStart.begin();) {
        --k;
        const TracedFile& f = m_files[*k];
        if (f.startLba + BlocksOf(f) > from)
            found = *k;
        if (it - k > 64)
            break;
    }
    return found;
}

void CTracePicture::Paint(QPainter& painter, QSize size) const {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    PaintLegend(painter, QRect(kLeft, 4, size.width() - kLeft - kRight, kTop - 8));

    const QRect strip = StripRect(size);
    painter.setPen(kAxisColor);
    painter.drawText(QRect(strip.left(), strip.top() - kTitleHeight, strip.width(), kTitleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Layout: blocks %1 to %2").arg(m_nFirstBlock).arg(m_nEndBlock - 1));
    PaintStrip(painter, strip);
    PaintBlockAxis(painter, strip, false);
    if (!HasReads())
        return;

    const int top = strip.bottom() + 1 + 28 + kTitleHeight;
    const int height = std::max(20, size.height() - top - kBottom);
    if (!m_bAfter) {
        PaintReads(painter, QRect(kLeft, top, strip.width(), height), m_before, "Reads");
        return;
    }
    const int width = std::max(20, (strip.width() - kPanelGap) / 2);
    PaintReads(painter, QRect(kLeft, top, width, height), m_before, "Reads on this layout");
    PaintReads(painter, QRect(kLeft + width + kPanelGap, top, width, height), m_after,
               "Reads on the new layout");
}

void CTracePicture::PaintStrip(QPainter& painter, QRect rect) const {
    const int width = rect.width();
    const std::uint64_t first = m_nFirstBlock, end = m_nEndBlock;
    std::vector<QRgb> colors(static_cast<std::size_t>(width), kGapColor.rgb());
    const CPixelScale columns(first, end, width);
    // Selected files first, so that they keep their columns; then the others in block order.
    std::vector<std::uint32_t> next(static_cast<std::size_t>(width) + 1);
    const auto paintFiles = [&](bool selected) {
        for (std::size_t c = 0; c < next.size(); ++c)
            next[c] = static_cast<std::uint32_t>(c);
        for (const std::uint32_t i : m_byStart) {
            const TracedFile& f = m_files[i];
            if (f.startLba >= end)
                break;
            const std::uint64_t fileEnd = f.startLba + BlocksOf(f);
            if (fileEnd <= first || (selected && (i >= m_selected.size() || !m_selected[i])))
                continue;
            const int c0 = columns.Of(std::max(f.startLba, first));
            const int c1 = columns.Of(std::min(fileEnd, end) - 1);
            for (std::size_t c = NextFree(next, static_cast<std::size_t>(c0));
                 c <= static_cast<std::size_t>(c1); c = NextFree(next, c)) {
                if (!selected && colors[c] != kGapColor.rgb()) {
                    next[c] = static_cast<std::uint32_t>(c + 1);
                    continue;
                }
                colors[c] = selected ? kSelectedColor.rgb() : FileColor(i);
                next[c] = static_cast<std::uint32_t>(c + 1);
            }
        }
    };
    if (!m_selected.empty())
        paintFiles(true);
    paintFiles(false);
    for (const auto& [from, to] : m_overlaps) {
        if (to <= first || from >= end)
            continue;
        const int c0 = PixelOf(std::max(from, first), first, end, width);
        const int c1 = PixelOf(std::min(to, end) - 1, first, end, width);
        std::fill(colors.begin() + c0, colors.begin() + c1 + 1, kOverlapColor.rgb());
    }
    FillColumns(painter, rect, colors);
}

void CTracePicture::PaintReads(QPainter& painter, QRect rect, const std::vector<TraceRead>& reads,
                               const char* title) const {
    painter.setPen(kAxisColor);
    painter.drawText(QRect(rect.left(), rect.top() - kTitleHeight, rect.width(), kTitleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1: %2 reads").arg(QString::fromUtf8(title)).arg(reads.size()));
    painter.fillRect(rect, QColor(0xFA, 0xFA, 0xFA));
    const int width = rect.width(), height = rect.height();
    const std::uint64_t first = m_nFirstBlock, end = m_nEndBlock;
    // One bit a pixel: the reads of a column, block up.
    std::vector<std::uint8_t> hit(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    const std::uint64_t count = std::max<std::uint64_t>(1, reads.size());
    const CPixelScale columns(0, count, width), rows(first, end, height);
    for (std::size_t i = 0; i < reads.size(); ++i) {
        const std::uint64_t b0 = reads[i].offset / kTraceBlockSize,
                            b1 = (reads[i].End() - 1) / kTraceBlockSize;
        if (b1 < first || b0 >= end)
            continue;
        const auto column = static_cast<std::size_t>(columns.Of(i));
        const int r0 = rows.Of(std::max(b0, first));
        const int r1 = rows.Of(std::min(b1, end - 1));
        std::uint8_t* cells = &hit[column * static_cast<std::size_t>(height)];
        std::fill(cells + r0, cells + r1 + 1, std::uint8_t{1});
    }
    // Few reads get wider dots, to be seen.
    const int dotWidth = reads.size() * 3 < static_cast<std::size_t>(width) ? 2 : 1;
    for (int c = 0; c < width; ++c) {
        const std::uint8_t* cells = &hit[static_cast<std::size_t>(c) * static_cast<std::size_t>(height)];
        for (int r = 0; r < height;) {
            if (!cells[r]) {
                ++r;
                continue;
            }
            int run = r + 1;
            while (run < height && cells[run])
                ++run;
            painter.fillRect(QRect(rect.left() + c, rect.bottom() - run + 1, dotWidth, run - r), kReadColor);
            r = run;
        }
    }
    PaintBlockAxis(painter, rect, true);
    // The read numbers across.
    painter.setPen(kAxisColor);
    painter.drawLine(rect.bottomLeft() + QPoint(0, 1), rect.bottomRight() + QPoint(0, 1));
    for (const std::uint64_t t : Ticks(0, count, std::max(2, width / 90))) {
        const int x = rect.left() + PixelOf(t, 0, count, width);
        painter.drawLine(x, rect.bottom() + 1, x, rect.bottom() + 5);
        painter.drawText(QRect(x - 45, rect.bottom() + 6, 90, 14), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(t));
    }
    painter.drawText(QRect(rect.left(), rect.bottom() + 20, width, 14), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("read number"));
}

void CTracePicture::PaintBlockAxis(QPainter& painter, QRect rect, bool vertical) const {
    painter.setPen(kAxisColor);
    const std::uint64_t first = m_nFirstBlock, end = m_nEndBlock;
    if (!vertical) {
        painter.drawLine(rect.bottomLeft() + QPoint(0, 1), rect.bottomRight() + QPoint(0, 1));
        for (const std::uint64_t t : Ticks(first, end, std::max(2, rect.width() / 110))) {
            const int x = rect.left() + PixelOf(t, first, end, rect.width());
            painter.drawLine(x, rect.bottom() + 1, x, rect.bottom() + 5);
            painter.drawText(QRect(x - 55, rect.bottom() + 6, 110, 14), Qt::AlignHCenter | Qt::AlignTop,
                             QString::number(t));
        }
        return;
    }
    painter.drawLine(rect.topLeft() - QPoint(1, 0), rect.bottomLeft() - QPoint(1, 0));
    for (const std::uint64_t t : Ticks(first, end, std::max(2, rect.height() / 40))) {
        const int y = rect.bottom() - PixelOf(t, first, end, rect.height());
        painter.drawLine(rect.left() - 5, y, rect.left() - 1, y);
        painter.drawText(QRect(rect.left() - 80, y - 7, 73, 14), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(t));
    }
    painter.save();
    painter.translate(rect.left() - 70, rect.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-40, -14, 80, 14), Qt::AlignCenter, QStringLiteral("block"));
    painter.restore();
}

void CTracePicture::PaintLegend(QPainter& painter, QRect rect) const {
    struct Entry {
        QColor color;
        QColor second;
        const char* label;
    };
    std::vector<Entry> entries = {{QColor::fromRgb(FileColor(0)), QColor::fromRgb(FileColor(1)), "file"},
                                  {kGapColor, kGapColor, "gap"},
                                  {kOverlapColor, kOverlapColor, "overlap"}};
    if (!m_selected.empty())
        entries.push_back({kSelectedColor, kSelectedColor, "selected"});
    if (HasReads())
        entries.push_back({kReadColor, kReadColor, "read"});
    int x = rect.left();
    painter.setPen(kAxisColor);
    for (const Entry& e : entries) {
        painter.fillRect(QRect(x, rect.top() + 5, 7, 12), e.color);
        painter.fillRect(QRect(x + 7, rect.top() + 5, 7, 12), e.second);
        painter.drawRect(QRect(x, rect.top() + 5, 14, 12));
        const QString label = QString::fromUtf8(e.label);
        painter.drawText(QRect(x + 19, rect.top(), 80, 22), Qt::AlignLeft | Qt::AlignVCenter, label);
        x += 19 + painter.fontMetrics().horizontalAdvance(label) + 18;
    }
}
