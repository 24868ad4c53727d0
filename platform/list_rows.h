// The rows of a report table: per row one byte text per column and a data word, kept in display order.
// Rows are stored in the order they were added; the display order is a separate list of row ids, so a
// snapshot (for a save that runs while the table changes) costs one shared pointer and a copy of that list.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One stored row: its cells packed into one byte string as (length, bytes) pairs, and its data word.
struct CListRow {
    std::string packed;
    std::uintptr_t data = 0;

    int CellCount() const;
    std::string_view Cell(int column) const;
    void SetCell(int column, std::string_view text);
};

class CListRows {
public:
    using DataWord = std::uintptr_t;
    using Store = std::deque<CListRow>;

    // A frozen view of the rows as they stood when it was taken; later changes of the table do not reach it.
    class Snapshot {
    public:
        int GetCount() const { return static_cast<int>(m_order.size()); }
        std::string_view GetText(int row, int column) const;

    private:
        friend class CListRows;
        std::shared_ptr<const Store> m_pStore;
        std::vector<std::uint32_t> m_order;
    };

    CListRows();

    int GetCount() const { return static_cast<int>(m_order.size()); }

    // Appends a row whose first cell is `firstText`; returns its display position.
    int Append(std::string_view firstText);
    // Sets the text of a cell; cells between the last set one and `column` become empty. False when the row
    // does not exist or the column is negative.
    bool SetText(int row, int column, std::string_view text);
    // The text of a cell; empty for a cell never set or a row that does not exist.
    std::string_view GetText(int row, int column) const;
    bool SetData(int row, DataWord data);
    DataWord GetData(int row) const;

    // Removes every row. Snapshots taken before keep the rows they saw.
    void Clear();

    // Row ids in display order; a row id is the row's position in the order of adding since the last Clear.
    const std::vector<std::uint32_t>& GetOrder() const { return m_order; }
    // Replaces the display order; false (nothing changes) unless `order` is a permutation of the current one.
    bool SetOrder(std::vector<std::uint32_t> order);
    std::string_view GetTextById(std::uint32_t id, int column) const;
    DataWord GetDataById(std::uint32_t id) const;

    Snapshot TakeSnapshot() const;

private:
    std::shared_ptr<Store> m_pStore;
    std::vector<std::uint32_t> m_order;
};
