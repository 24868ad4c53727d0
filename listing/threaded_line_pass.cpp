#include "listing/threaded_line_pass.h"

#include <system_error>
#include <utility>

std::array<std::string_view, CellCount> CRowBatch::Cells(std::size_t k) const {
    std::array<std::string_view, CellCount> cells;
    std::uint32_t begin = k == 0 ? 0 : m_ends[k * CellCount - 1];
    for (int c = 0; c < CellCount; ++c) {
        const std::uint32_t end = m_ends[k * CellCount + static_cast<std::size_t>(c)];
        cells[static_cast<std::size_t>(c)] = std::string_view(m_bytes).substr(begin, end - begin);
        begin = end;
    }
    if (m_bBorrowsName)
        cells[CellFileName] = m_borrowedName;
    return cells;
}

void CRowBatch::Clear(long long firstIndex) {
    m_nFirstIndex = firstIndex;
    m_bytes.clear();
    m_ends.clear();
    m_borrowedName = {};
    m_bBorrowsName = false;
}

void CRowBatch::Add(const RowCellViews& cells, bool bBorrowName) {
    for (int c = 0; c < CellCount; ++c) {
        const std::string_view cell = cells.cells[static_cast<std::size_t>(c)];
        if (bBorrowName && c == CellFileName) {
            m_borrowedName = cell;
            m_bBorrowsName = true;
        } else {
            m_bytes.append(cell);
        }
        m_ends.push_back(static_cast<std::uint32_t>(m_bytes.size()));
    }
}

CThreadedLinePass::CThreadedLinePass(CLineReader& reader, ListingLayout layout) {
    try {
        m_thread = std::thread([this, &reader, layout] { Run(reader, layout); });
    } catch (const std::system_error&) {
        m_bBounded = false;
        Run(reader, layout);
    }
}

CThreadedLinePass::~CThreadedLinePass() {
    {
        const std::lock_guard lock(m_mutex);
        m_bStop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool CThreadedLinePass::NextBatch(CRowBatch& batch) {
    {
        std::unique_lock lock(m_mutex);
        // The caller is done with the batch it took before: a pass waiting for that may go on.
        ++m_nAsked;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_waiting.empty() || m_bDone; });
        if (!m_waiting.empty()) {
            batch = std::move(m_waiting.front());
            m_waiting.pop_front();
            lock.unlock();
            m_changed.notify_all();
            return true;
        }
    }
    if (m_thread.joinable())
        m_thread.join();
    return false;
}

bool CThreadedLinePass::Hand(CRowBatch& batch, bool bUntilDone) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bStop || !m_bBounded || m_waiting.size() < kMostWaiting; });
    if (m_bStop)
        return false;
    m_waiting.push_back(std::move(batch));
    const std::uint64_t handed = ++m_nHanded;
    m_changed.notify_all();
    // The caller takes batch k with its k-th call of NextBatch and is done with it at the next call.
    if (bUntilDone)
        m_changed.wait(lock, [this, handed] { return m_bStop || m_nAsked > handed; });
    return !m_bStop;
}

void CThreadedLinePass::Run(CLineReader& reader, ListingLayout layout) {
    // A usual row takes about 60 bytes of its batch.
    const auto fresh = [](CRowBatch& batch, long long firstIndex) {
        batch = CRowBatch();
        batch.Clear(firstIndex);
        batch.m_bytes.reserve(kBatchRows * 64);
        batch.m_ends.reserve(kBatchRows * CellCount);
    };
    CRowBatch batch;
    fresh(batch, 0);
    RowCellViews cells;
    const ListingPass pass = ReadListingRows(reader, layout, [&](const ListingLine& fields, long long index) {
        // A pass on the caller's own thread cannot wait for the caller: it copies every name.
        const bool bLongName = m_bBounded && fields.name.size() > kLongestCopiedName;
        // A batch's ends are 32-bit: it is handed on before its bytes could pass 2^31.
        if (batch.GetCount() == kBatchRows ||
            (batch.GetCount() > 0 &&
             (bLongName || batch.m_bytes.size() + fields.name.size() > (std::size_t{1} << 31)))) {
            if (!Hand(batch))
                return false;
            fresh(batch, index);
        }
        FormRowCellViews(layout, fields, index, cells);
        if (!bLongName) {
            batch.Add(cells);
            return true;
        }
        // The line stays as it is while the pass waits here, so the caller can read the name from it.
        batch.Add(cells, true);
        if (!Hand(batch, true))
            return false;
        fresh(batch, index + 1);
        return true;
    });
    if (!pass.stopped && batch.GetCount() > 0)
        Hand(batch);
    {
        const std::lock_guard lock(m_mutex);
        m_pass = pass;
        m_bDone = true;
    }
    m_changed.notify_all();
}
