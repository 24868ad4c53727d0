#include "platform/list_rows.h"

#include <cstring>

namespace {

// A cell is stored as a length prefix and its bytes: one byte for lengths up to 254, else 0xFF and four
// bytes of length.
constexpr unsigned char kLongLength = 0xFF;

std::size_t ReadLength(const std::string& packed, std::size_t& pos) {
    const auto first = static_cast<unsigned char>(packed[pos++]);
    if (first != kLongLength)
        return first;
    std::uint32_t length = 0;
    std::memcpy(&length, packed.data() + pos, sizeof length);
    pos += sizeof length;
    return length;
}

void WriteCell(std::string& packed, std::string_view text) {
    if (text.size() < kLongLength) {
        packed.push_back(static_cast<char>(text.size()));
    } else {
        packed.push_back(static_cast<char>(kLongLength));
        const auto length = static_cast<std::uint32_t>(text.size());
        packed.append(reinterpret_cast<const char*>(&length), sizeof length);
    }
    packed.append(text);
}

}  // namespace

int CListRow::CellCount() const {
    int count = 0;
    for (std::size_t pos = 0; pos < packed.size(); ++count)
        pos += ReadLength(packed, pos);
    return count;
}

std::string_view CListRow::Cell(int column) const {
    std::size_t pos = 0;
    for (int i = 0; pos < packed.size(); ++i) {
        const std::size_t length = ReadLength(packed, pos);
        if (i == column)
            return std::string_view(packed).substr(pos, length);
        pos += length;
    }
    return {};
}

void CListRow::SetCell(int column, std::string_view text) {
    const int count = CellCount();
    if (column >= count) {
        // The usual case: cells are set left to right as the row is filled.
        for (int i = count; i < column; ++i)
            WriteCell(packed, {});
        WriteCell(packed, text);
        return;
    }
    std::string rebuilt;
    rebuilt.reserve(packed.size() + text.size());
    for (int i = 0; i < count; ++i)
        WriteCell(rebuilt, i == column ? text : Cell(i));
    packed.swap(rebuilt);
}

std::string_view CListRows::Snapshot::GetText(int row, int column) const {
    if (row < 0 || row >= GetCount() || !m_pStore)
        return {};
    return (*m_pStore)[m_order[static_cast<std::size_t>(row)]].Cell(column);
}

CListRows::CListRows() : m_pStore(std::make_shared<Store>()) {}

int CListRows::Append(std::string_view firstText) {
    const auto id = static_cast<std::uint32_t>(m_pStore->size());
    CListRow& row = m_pStore->emplace_back();
    // Room for the usual short cells that follow, so filling the row does not grow it step by step.
    row.packed.reserve(firstText.size() + 64);
    row.SetCell(0, firstText);
    m_order.push_back(id);
    return static_cast<int>(m_order.size() - 1);
}

bool CListRows::SetText(int row, int column, std::string_view text) {
    if (row < 0 || row >= GetCount() || column < 0)
        return false;
    (*m_pStore)[m_order[static_cast<std::size_t>(row)]].SetCell(column, text);
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
    (*m_pStore)[m_order[static_cast<std::size_t>(row)]].data = data;
    return true;
}

CListRows::DataWord CListRows::GetData(int row) const {
    if (row < 0 || row >= GetCount())
        return 0;
    return GetDataById(m_order[static_cast<std::size_t>(row)]);
}

void CListRows::Clear() {
    // A snapshot may still hold the old rows; they go when the last holder lets go of them.
    m_pStore = std::make_shared<Store>();
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
    if (id >= m_pStore->size())
        return {};
    return (*m_pStore)[id].Cell(column);
}

CListRows::DataWord CListRows::GetDataById(std::uint32_t id) const {
    if (id >= m_pStore->size())
        return 0;
    return (*m_pStore)[id].data;
}

CListRows::Snapshot CListRows::TakeSnapshot() const {
    Snapshot snapshot;
    snapshot.m_pStore = m_pStore;
    snapshot.m_order = m_order;
    return snapshot;
}
