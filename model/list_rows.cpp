#include "model/list_rows.h"

#include "base/huge_pages.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned char kLongLength = 0xFF;
constexpr std::size_t kLongHeader = 1 + sizeof(std::uint32_t);

std::size_t HeaderSize(std::size_t length) {
    return length < kLongLength ? 1 : kLongHeader;
}

std::size_t ReadLength(const char* bytes, std::size_t& pos) {
    const auto first = static_cast<unsigned char>(bytes[pos++]);
    if (first != kLongLength)
        return first;
    std::uint32_t length = 0;
    std::memcpy(&length, bytes + pos, sizeof length);
    pos += sizeof length;
    return length;
}

char* WriteCell(char* out, std::string_view text) {
    if (text.size() < kLongLength) {
        *out++ = static_cast<char>(text.size());
    } else {
        *out++ = static_cast<char>(kLongLength);
        const auto length = static_cast<std::uint32_t>(text.size());
        std::memcpy(out, &length, sizeof length);
        out += sizeof length;
    }
    if (!text.empty())
        std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

} // namespace

std::string_view CPackedCells::Cell(int column) const {
    std::size_t pos = 0;
    for (int i = 0; pos < size; ++i) {
        const std::size_t length = ReadLength(bytes, pos);
        if (i == column)
            return std::string_view(bytes + pos, length);
        pos += length;
    }
    return {};
}

void CPackedCells::Split(std::span<std::string_view> out) const {
    std::size_t pos = 0;
    std::size_t i = 0;
    for (; pos < size && i < out.size(); ++i) {
        const std::size_t length = ReadLength(bytes, pos);
        out[i] = std::string_view(bytes + pos, length);
        pos += length;
    }
    for (; i < out.size(); ++i)
        out[i] = {};
}

// Blocks filled from the front, kBlockSize bytes each at first and kLargeBlockSize later; a request that
// does not fit the last block starts a new one, as large as the request when that is larger (with room for
// the usual short cells after it).
// Only the last block grows, so the bytes at its end can be extended in place.
class CListRows::Store {
public:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
    static constexpr std::size_t kSlack = 4096;
    static constexpr std::size_t kSmallBlocks = 4;
    static constexpr std::size_t kLargeBlockSize = std::size_t{16} << 20;

    char* Allocate(std::size_t size) {
        if (m_nCapacity - m_nUsed < size) {
            // A small table takes small blocks; after the first few they are large and ask for huge pages,
            // which spares rows read in scattered order (a save after a sort) a page table walk apiece.
            const std::size_t block = m_blocks.size() < kSmallBlocks ? kBlockSize : kLargeBlockSize;
            const std::size_t capacity = std::max(block, size + kSlack);
            m_blocks.push_back(std::make_unique_for_overwrite<char[]>(capacity));
            m_pTail = m_blocks.back().get();
            if (capacity >= kLargeBlockSize)
                AdviseHugePages(m_pTail, capacity);
            m_nUsed = 0;
            m_nCapacity = capacity;
        }
        char* out = m_pTail + m_nUsed;
        m_nUsed += size;
        return out;
    }

    // Room for `extra` more bytes right after [bytes, bytes + size), or null when those bytes are not the
    // last ones allocated or the block is full.
    char* Extend(const char* bytes, std::size_t size, std::size_t extra) {
        if (!m_pTail || bytes + size != m_pTail + m_nUsed || m_nCapacity - m_nUsed < extra)
            return nullptr;
        char* out = m_pTail + m_nUsed;
        m_nUsed += extra;
        return out;
    }

private:
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_pTail = nullptr;
    std::size_t m_nUsed = 0;
    std::size_t m_nCapacity = 0;
};

namespace {

// Rows read in display order after a sort lie scattered in memory; fetching the bytes of rows this far
// ahead hides most of the wait for them.
constexpr std::size_t kPrefetchAhead = 16;

// Asks for the bytes of a row's cells ahead of their use. A row of a listing is 40 to 80 bytes, so it
// often spans two cache lines: both its first and its last byte are fetched.
void PrefetchCells(const CPackedCells& cells) {
    if (cells.size == 0)
        return;
    __builtin_prefetch(cells.bytes);
    __builtin_prefetch(cells.bytes + cells.size - 1);
}

} // namespace

std::string_view CListRows::Snapshot::GetText(int row, int column) const {
    if (row < 0 || row >= GetCount())
        return {};
    const auto r = static_cast<std::size_t>(row);
    if (column == 0 && r + kPrefetchAhead < m_rows.size())
        PrefetchCells(m_rows[r + kPrefetchAhead]);
    return m_rows[r].Cell(column);
}

CPackedCells CListRows::Snapshot::GetCells(int row) const {
    if (row < 0 || row >= GetCount())
        return {};
    const auto r = static_cast<std::size_t>(row);
    if (r + kPrefetchAhead < m_rows.size())
        PrefetchCells(m_rows[r + kPrefetchAhead]);
    return m_rows[r];
}

CListRows::CListRows() : m_pStore(std::make_shared<Store>()) {}

CListRows::~CListRows() = default;

int CListRows::Append(std::string_view firstText) {
    return AppendCells(std::span(&firstText, 1));
}

int CListRows::AppendCells(std::span<const std::string_view> texts) {
    const auto id = static_cast<std::uint32_t>(m_rows.size());
    std::size_t size = 0;
    for (std::string_view text : texts)
        size += HeaderSize(text.size()) + text.size();
    char* bytes = m_pStore->Allocate(size);
    char* out = bytes;
    for (std::string_view text : texts)
        out = WriteCell(out, text);
    m_rows.push_back(Row{
        CPackedCells{bytes, static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(texts.size())}, 0});
    m_order.push_back(id);
    return static_cast<int>(m_order.size() - 1);
}

bool CListRows::SetText(int row, int column, std::string_view text) {
    if (row < 0 || row >= GetCount() || column < 0)
        return false;
    CPackedCells& cells = m_rows[m_order[static_cast<std::size_t>(row)]].cells;
    const int count = cells.CellCount();
    // Stored bytes are never overwritten: a snapshot or a caller may still view them (`text` among them).
    if (column >= count) {
        // The usual case: cells are set left to right as the row is filled, at the end of the store.
        const std::size_t extra =
            static_cast<std::size_t>(column - count) + HeaderSize(text.size()) + text.size();
        char* out = m_pStore->Extend(cells.bytes, cells.size, extra);
        if (!out) {
            char* moved = m_pStore->Allocate(cells.size + extra);
            if (cells.size > 0)
                std::memcpy(moved, cells.bytes, cells.size);
            cells.bytes = moved;
            out = moved + cells.size;
        }
        for (int i = count; i < column; ++i)
            out = WriteCell(out, {});
        WriteCell(out, text);
        cells.size += static_cast<std::uint32_t>(extra);
        cells.count = static_cast<std::uint32_t>(column) + 1;
        return true;
    }
    std::size_t size = 0;
    for (int i = 0; i < count; ++i) {
        const std::size_t length = i == column ? text.size() : cells.Cell(i).size();
        size += HeaderSize(length) + length;
    }
    char* rebuilt = m_pStore->Allocate(size);
    char* out = rebuilt;
    for (int i = 0; i < count; ++i)
        out = WriteCell(out, i == column ? text : cells.Cell(i));
    cells = CPackedCells{rebuilt, static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(count)};
    return true;
}

std::string_view CListRows::GetText(int row, int column) const {
    if (row < 0 || row >= GetCount())
        return {};
    return GetTextById(m_order[static_cast<std::size_t>(row)], column);
}

bool CListRows::SetData(int row, DataWord data) {
    if (row < 0 || row >= GetCount())
        return false;
    m_rows[m_order[static_cast<std::size_t>(row)]].data = data;
    return true;
}

CListRows::DataWord CListRows::GetData(int row) const {
    if (row < 0 || row >= GetCount())
        return 0;
    return GetDataById(m_order[static_cast<std::size_t>(row)]);
}

void CListRows::Reserve(std::size_t nRows) {
    m_rows.reserve(nRows);
    m_order.reserve(nRows);
    AdviseHugePages(m_rows.data(), m_rows.capacity() * sizeof(Row));
    AdviseHugePages(m_order.data(), m_order.capacity() * sizeof(std::uint32_t));
}

void CListRows::ClearAllData() {
    for (Row& row : m_rows)
        row.data = 0;
}

void CListRows::Clear() {
    // A snapshot may still hold the old bytes; they go when the last holder lets go of them.
    m_pStore = std::make_shared<Store>();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_order.clear();
    m_order.shrink_to_fit();
}

bool CListRows::SetOrder(std::vector<std::uint32_t> order) {
    if (order.size() != m_order.size())
        return false;
    std::vector<bool> seen(order.size(), false);
    for (std::uint32_t id : order) {
        if (id >= seen.size() || seen[id])
            return false;
        seen[id] = true;
    }
    m_order = std::move(order);
    return true;
}

std::string_view CListRows::GetTextById(std::uint32_t id, int column) const {
    return GetCellsById(id).Cell(column);
}

CListRows::DataWord CListRows::GetDataById(std::uint32_t id) const {
    return id < m_rows.size() ? m_rows[id].data : 0;
}

CPackedCells CListRows::GetCellsById(std::uint32_t id) const {
    return id < m_rows.size() ? m_rows[id].cells : CPackedCells{};
}

CListRows::Snapshot CListRows::TakeSnapshot() const {
    Snapshot snapshot;
    snapshot.m_pStore = m_pStore;
    const std::size_t n = m_order.size();
    snapshot.m_rows.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        if (k + kPrefetchAhead < n)
            __builtin_prefetch(&m_rows[m_order[k + kPrefetchAhead]]);
        snapshot.m_rows[k] = m_rows[m_order[k]].cells;
    }
    return snapshot;
}
