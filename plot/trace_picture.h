// The picture of a layout and of a trace on it: the layout strip (the image's blocks left to right, one
// coloured bar per file, gaps light, overlaps red) and, with a trace, the access plot (read number across,
// block up), before and after a new layout side by side. Drawn through QPainter onto any device; the
// files and reads are gathered per pixel column, so a million of each draw as a few thousand rectangles.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QRect>
#include <QSize>

#include "disc/read_trace.h"
#include "disc/trace_layout.h"

class QPainter;

class CTracePicture {
public:
    // The files of the layout, in listing order; their blocks set the strip's range until SetBlockRange.
    void SetFiles(const std::vector<TracedFile>& files);
    // The reads on the layout; none hides the access plot.
    void SetReads(std::vector<TraceRead> reads);
    // The reads replayed on a new layout, drawn beside the others; none draws one plot.
    void SetReplayedReads(std::vector<TraceRead> reads);
    // Files drawn highlighted (by listing index), as the rows selected in a table.
    void SetSelected(std::vector<bool> selected) { m_selected = std::move(selected); }

    // The blocks the strip and the plot's block axis span: all of the files and reads, or [first, last).
    void SetBlockRange(std::uint64_t first, std::uint64_t last);
    void ResetBlockRange();
    std::uint64_t FirstBlock() const { return m_nFirstBlock; }
    std::uint64_t EndBlock() const { return m_nEndBlock; }
    // The range of all files and reads.
    std::uint64_t FullFirstBlock() const { return m_nFullFirst; }
    std::uint64_t FullEndBlock() const { return m_nFullEnd; }

    bool HasReads() const { return !m_before.empty() || m_bReads; }

    void Paint(QPainter& painter, QSize size) const;

    // Where the strip lies in a picture of `size`, and the block under an x position in it.
    QRect StripRect(QSize size) const;
    std::uint64_t BlockAtX(QSize size, int x) const;
    // The file (listing index) whose bar lies under the point, if any.
    std::optional<std::uint32_t> FileAt(QSize size, QPoint point) const;

private:
    void PaintStrip(QPainter& painter, QRect rect) const;
    void PaintReads(QPainter& painter, QRect rect, const std::vector<TraceRead>& reads,
                    const char* title) const;
    void PaintBlockAxis(QPainter& painter, QRect rect, bool vertical) const;
    void PaintLegend(QPainter& painter, QRect rect) const;
    void UpdateFullRange();

    std::vector<TracedFile> m_files;
    std::vector<std::uint32_t> m_byStart; // listing indexes of files with blocks, by first block
    std::vector<std::pair<std::uint64_t, std::uint64_t>>
        m_overlaps; // blocks [first, end) of two files or more
    std::vector<TraceRead> m_before;
    std::vector<TraceRead> m_after;
    bool m_bReads = false;
    bool m_bAfter = false;
    std::vector<bool> m_selected;
    std::uint64_t m_nFullFirst = 0, m_nFullEnd = 1;
    std::uint64_t m_nFirstBlock = 0, m_nEndBlock = 1;
    bool m_bRangeSet = false;
};
