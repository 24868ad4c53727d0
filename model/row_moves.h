// Moving chosen rows of a table by hand: the new order as positions for CListCtrl::SortItemsInOrder (the
// row now at positions[k] goes to k), and where the moved rows then stand.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

enum class RowMove { ToTop, Up, Down, ToBottom };

struct RowMoveResult {
    std::vector<std::uint32_t> positions;
    // The moved rows' new indices, ascending.
    std::vector<std::uint32_t> moved;
};

// Moves the rows at `chosen` (ascending, each below `count`) of a table of `count` rows. ToTop and
// ToBottom gather them at that end in their order. Up and Down move each one step past the row that is
// not chosen beside it; a chosen row already at the end, or behind such a row, stays.
RowMoveResult MoveChosenRows(std::uint32_t count, std::span<const std::uint32_t> chosen, RowMove move);

// Gathers the chosen rows, in their order, before the row now at index `before` (`count` for the end),
// as a drop of dragged rows does. The other rows keep their order.
RowMoveResult MoveChosenRowsBefore(std::uint32_t count, std::span<const std::uint32_t> chosen,
                                   std::uint32_t before);
