#include "disc/trace_layout.h"

#include <algorithm>
#include <numeric>

CTraceLayout::CTraceLayout(const std::vector<TracedFile>& files) {
    std::vector<std::uint32_t> order;
    order.reserve(files.size());
    for (std::uint32_t i = 0; i < files.size(); ++i) {
        // A file's blocks as bytes; blocks beyond the last byte offset are cut off there.
        if (files[i].fileSize > 0 && files[i].startLba < UINT64_MAX / kTraceBlockSize)
            order.push_back(i);
    }
    const auto beginOf = [&](std::uint32_t i) { return files[i].startLba * kTraceBlockSize; };
    const auto endOf = [&](std::uint32_t i) {
        const std::uint64_t blocks =
            files[i].fileSize / kTraceBlockSize + (files[i].fileSize % kTraceBlockSize != 0);
        const std::uint64_t room = (UINT64_MAX - beginOf(i)) / kTraceBlockSize;
        return beginOf(i) + std::min(blocks, room) * kTraceBlockSize;
    };
    if (!std::is_sorted(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return files[a].startLba < files[b].startLba;
        }))
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return files[a].startLba < files[b].startLba;
        });
    m_begins.reserve(order.size());
    m_ends.reserve(order.size());
    m_maxEnds.reserve(order.size());
    m_files = order;
    std::uint64_t maxEnd = 0;
    for (const std::uint32_t i : order) {
        m_begins.push_back(beginOf(i));
        m_ends.push_back(endOf(i));
        maxEnd = std::max(maxEnd, m_ends.back());
        m_maxEnds.push_back(maxEnd);
        // The bytes past those already given out belong to this file.
        const std::uint64_t from =
            m_segmentEnds.empty() ? m_begins.back() : std::max(m_begins.back(), m_segmentEnds.back());
        if (m_ends.back() > from) {
            m_segmentBegins.push_back(from);
            m_segmentEnds.push_back(m_ends.back());
            m_segmentFiles.push_back(i);
        }
    }
}

std::size_t CTraceLayout::EntriesStartingBefore(std::uint64_t end) {
    const std::size_t n = m_begins.size();
    const auto fits = [&](std::size_t k) {
        return (k == 0 || m_begins[k - 1] < end) && (k == n || m_begins[k] >= end);
    };
    for (std::size_t k = m_nHint; k <= n && k <= m_nHint + 2; ++k) {
        if (fits(k))
            return m_nHint = k;
    }
    m_nHint =
        static_cast<std::size_t>(std::lower_bound(m_begins.begin(), m_begins.end(), end) - m_begins.begin());
    return m_nHint;
}

std::size_t CTraceLayout::SegmentEndingAfter(std::uint64_t offset) const {
    return static_cast<std::size_t>(std::upper_bound(m_segmentEnds.begin(), m_segmentEnds.end(), offset) -
                                    m_segmentEnds.begin());
}
