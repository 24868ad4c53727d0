// The rows of a report table: per row one byte text per column and a data word, kept in display order.
//
// Cell bytes live in an append-only store of large blocks. Stored bytes never change and never move until
// the table is emptied: a changed cell gets new bytes and the row points to them. So a view of a cell's
// bytes stays valid while rows are added or changed, a snapshot (for a save that runs while the table
// changes) is a copy of the rows' pointers, and a million rows cost a few allocations instead of millions.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

// The cells of one row as stored: (length, bytes) pairs in column order. A length below 255 takes one
// byte; a longer one is 0xFF followed by four bytes.
struct CPackedCells {
    const char* bytes = nullptr;
    std::uint32_t size = 0;
    std::uint32_t count = 0; // cells

    int CellCount() const { return static_cast<int>(count); }
    std::string_view Cell(int column) const;
    // Every cell in one walk: out[i] gets cell i, empty past the last cell.
    void Split(std::span<std::string_view> out) const;
};

class CListRows {
public:
    using DataWord = std::uintptr_t;

    // The blocks that hold the stored bytes of one filling of the table.
    class Store;

    // A frozen view of the rows as they stood when it was taken; later changes of the table do not reach it.
    class Snapshot {
    public:
        int GetCount() const { return static_cast<int>(m_rows.size()); }
        std::string_view GetText(int row, int column) const;
        // The cells of a row; an empty row past the end. Reading rows one after another fetches the
        // bytes of rows further on ahead of time.
        CPackedCells GetCells(int row) const;

    private:
        friend class CListRows;
        std::shared_ptr<const Store> m_pStore;
        std::vector<CPackedCells> m_rows; // in display order
    };

    CListRows();
    ~CListRows();
    CListRows(const CListRows&) = delete;
    CListRows& operator=(const CListRows&) = delete;

    int GetCount() const { return static_cast<int>(m_order.size()); }

    // Appends a row whose first cell is `firstText`; returns its display position.
    int Append(std::string_view firstText);
    // Appends a row with all its cells at once, in one piece of the store; returns its display position.
    int AppendCells(std::span<const std::string_view> texts);
    // Sets the text of a cell; cells between the last set one and `column` become empty. False when the row
    // does not exist or the column is negative. `text` may be a view of a cell of this table.
    bool SetText(int row, int column, std::string_view text);
    // The text of a cell; empty for a cell never set or a row that does not exist. The view stays valid
    // until the table is emptied, whatever is changed meanwhile.
    std::string_view GetText(int row, int column) const;
    bool SetData(int row, DataWord data);
    DataWord GetData(int row) const;

    // Makes room for this many rows in all, so that adding them moves nothing already added.
    void Reserve(std::size_t nRows);
    // Sets the data word of every row to 0.
    void ClearAllData();
    // Removes every row. Snapshots taken before keep the rows they saw.
    void Clear();

    // Row ids in display order; a row id is the row's position in the order of adding since the last Clear.
    const std::vector<std::uint32_t>& GetOrder() const { return m_order; }
    // Replaces the display order; false (nothing changes) unless `order` is a permutation of the current one.
    bool SetOrder(std::vector<std::uint32_t> order);
    std::string_view GetTextById(std::uint32_t id, int column) const;
    DataWord GetDataById(std::uint32_t id) const;
    // The stored cells of a row as they stand now. They stay as they are, and valid, until the table is
    // emptied, even when the row's cells are changed later (the row then points to new bytes).
    CPackedCells GetCellsById(std::uint32_t id) const;

    Snapshot TakeSnapshot() const;

private:
    struct Row {
        CPackedCells cells;
        DataWord data = 0;
    };

    std::shared_ptr<Store> m_pStore;
    std::vector<Row> m_rows; // by row id
    std::vector<std::uint32_t> m_order;
};
