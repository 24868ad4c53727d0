// The files of a listing laid over the blocks of an image, for finding the files a read touches. A file
// covers its blocks whole: StartLba to StartLba + ceil(FileSize / 2048) - 1.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "disc/read_trace.h"

struct TracedFile {
    std::uint64_t startLba = 0;
    std::uint64_t fileSize = 0;
};

class CTraceLayout {
public:
    static constexpr std::uint32_t kNoFile = UINT32_MAX;

    explicit CTraceLayout(const std::vector<TracedFile>& files);

    // Calls visit(fileIndex) for every file whose blocks the read touches, in the order of their first
    // blocks (files that start on the same block in listing order).
    template <class Visit> void ForEachFileTouched(const TraceRead& read, Visit&& visit) {
        if (read.length == 0)
            return;
        std::size_t i = EntriesStartingBefore(read.End());
        m_touched.clear();
        for (; i > 0 && m_maxEnds[i - 1] > read.offset; --i) {
            if (m_ends[i - 1] > read.offset)
                m_touched.push_back(m_files[i - 1]);
        }
        for (std::size_t k = m_touched.size(); k > 0; --k)
            visit(m_touched[k - 1]);
    }

    // Calls visit(offset, length, fileIndex) for the pieces of the read in byte order: each piece lies in
    // one file (of files that share blocks, the one starting first) or, with kNoFile, outside every file.
    template <class Visit> void ForEachPiece(const TraceRead& read, Visit&& visit) const {
        std::size_t s = SegmentEndingAfter(read.offset);
        std::uint64_t position = read.offset;
        const std::uint64_t end = read.End();
        while (position < end) {
            if (s < m_segmentBegins.size() && m_segmentBegins[s] <= position) {
                const std::uint64_t pieceEnd = std::min(end, m_segmentEnds[s]);
                visit(position, pieceEnd - position, m_segmentFiles[s]);
                position = pieceEnd;
                ++s;
            } else {
                const std::uint64_t pieceEnd =
                    s < m_segmentBegins.size() ? std::min(end, m_segmentBegins[s]) : end;
                visit(position, pieceEnd - position, kNoFile);
                position = pieceEnd;
            }
        }
    }

private:
    // The number of entries whose first byte lies before `end`: the search starts at the answer for the
    // previous read, as traces mostly read on from where they were.
    std::size_t EntriesStartingBefore(std::uint64_t end);
    std::size_t SegmentEndingAfter(std::uint64_t offset) const;

    // The files with blocks, by first byte: [begin, end) in bytes, the largest end so far, listing index.
    std::vector<std::uint64_t> m_begins;
    std::vector<std::uint64_t> m_ends;
    std::vector<std::uint64_t> m_maxEnds;
    std::vector<std::uint32_t> m_files;
    std::size_t m_nHint = 0;
    std::vector<std::uint32_t> m_touched;
    // The image's bytes shared out: disjoint runs, each given to one file.
    std::vector<std::uint64_t> m_segmentBegins;
    std::vector<std::uint64_t> m_segmentEnds;
    std::vector<std::uint32_t> m_segmentFiles;
};
