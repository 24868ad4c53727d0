// The line pass of a load run on a thread of its own: the caller adds the rows to its table while the next
// lines are read, split and formed into cell texts.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "listing/line_reader.h"
#include "listing/listing_format.h"
#include "listing/listing_rows.h"

// The cell texts of a run of rows, in file order: what FormRowCellViews gives each row, copied into the
// batch's own bytes. A long name is not copied: a batch of one row borrows it from the line it was read
// from, which stays as it is until the caller asks for the next batch.
class CRowBatch {
public:
    long long FirstIndex() const { return m_nFirstIndex; }
    std::size_t GetCount() const { return m_ends.size() / CellCount; }
    // The six cell texts of row k of the batch, valid until the next call of NextBatch.
    std::array<std::string_view, CellCount> Cells(std::size_t k) const;

private:
    friend class CThreadedLinePass;
    void Clear(long long firstIndex);
    // Adds a row; bBorrowName keeps a view of its name instead of a copy (the batch's one row).
    void Add(const RowCellViews& cells, bool bBorrowName = false);

    long long m_nFirstIndex = 0;
    std::string m_bytes;
    std::vector<std::uint32_t> m_ends; // where each cell ends in m_bytes, six a row
    std::string_view m_borrowedName;   // the name of a batch that borrows it
    bool m_bBorrowsName = false;
};

// Runs ReadListingRows over `reader` on another thread and hands its rows on in batches, in file order.
// The reader is the pass's until the pass has ended. At most a few batches wait, so a caller that falls
// behind holds the reader up rather than the file in memory. When the system refuses a thread, the whole
// pass runs in the constructor instead.
class CThreadedLinePass {
public:
    CThreadedLinePass(CLineReader& reader, ListingLayout layout);
    // Stops the pass at its next row and waits for its thread.
    ~CThreadedLinePass();
    CThreadedLinePass(const CThreadedLinePass&) = delete;
    CThreadedLinePass& operator=(const CThreadedLinePass&) = delete;

    // Waits for the next batch and moves it into `batch`; false once the pass has ended and every batch was
    // taken. Then Result() is how the pass ended, and the reader is the caller's again. The texts of the
    // batch taken before are not to be used after this call.
    bool NextBatch(CRowBatch& batch);
    const ListingPass& Result() const { return m_pass; }

private:
    static constexpr std::size_t kBatchRows = 4096;
    static constexpr std::size_t kMostWaiting = 4;
    // Names longer than this are borrowed, not copied: a name of many megabytes is not held three times.
    static constexpr std::size_t kLongestCopiedName = std::size_t{1} << 16;

    void Run(CLineReader& reader, ListingLayout layout);
    // Hands a full batch over; false when the pass is to stop. bUntilDone: also waits until the caller is
    // done with it, for a batch that borrows its name.
    bool Hand(CRowBatch& batch, bool bUntilDone = false);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<CRowBatch> m_waiting;
    std::uint64_t m_nHanded = 0; // batches handed over
    std::uint64_t m_nAsked = 0;  // calls of NextBatch
    bool m_bDone = false;
    bool m_bStop = false;
    bool m_bBounded = true; // off when the pass runs on the caller's thread, which takes nothing meanwhile
    ListingPass m_pass;
    std::thread m_thread;
};
