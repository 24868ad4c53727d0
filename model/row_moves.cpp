#include "model/row_moves.h"

#include <algorithm>
#include <numeric>

RowMoveResult MoveChosenRowsBefore(std::uint32_t count, std::span<const std::uint32_t> chosen,
                                   std::uint32_t before) {
    before = std::min(before, count);
    RowMoveResult result;
    result.positions.reserve(count);
    auto next = chosen.begin();
    // The rows not chosen before the drop point, then the chosen ones, then the rest not chosen.
    for (std::uint32_t row = 0; row < before; ++row) {
        if (next != chosen.end() && *next == row)
            ++next;
        else
            result.positions.push_back(row);
    }
    const auto first = static_cast<std::uint32_t>(result.positions.size());
    result.positions.insert(result.positions.end(), chosen.begin(), chosen.end());
    for (std::uint32_t row = before; row < count; ++row) {
        if (next != chosen.end() && *next == row)
            ++next;
        else
            result.positions.push_back(row);
    }
    result.moved.resize(chosen.size());
    std::iota(result.moved.begin(), result.moved.end(), first);
    return result;
}

RowMoveResult MoveChosenRows(std::uint32_t count, std::span<const std::uint32_t> chosen, RowMove move) {
    if (move == RowMove::ToTop)
        return MoveChosenRowsBefore(count, chosen, 0);
    if (move == RowMove::ToBottom)
        return MoveChosenRowsBefore(count, chosen, count);
    RowMoveResult result;
    result.positions.resize(count);
    std::iota(result.positions.begin(), result.positions.end(), 0u);
    result.moved.assign(chosen.begin(), chosen.end());
    // A chosen row trades places with the row beside it unless that row is chosen and stayed; walking
    // towards the end it moves away from keeps each block of chosen rows together.
    if (move == RowMove::Up) {
        std::uint32_t stop = 0; // no chosen row may pass above this index
        for (std::uint32_t& row : result.moved) {
            if (row > stop) {
                std::swap(result.positions[row - 1], result.positions[row]);
                --row;
            }
            stop = row + 1;
        }
    } else {
        std::uint32_t stop = count; // no chosen row may pass below this index - 1
        for (auto it = result.moved.rbegin(); it != result.moved.rend(); ++it) {
            std::uint32_t& row = *it;
            if (row + 1 < stop) {
                std::swap(result.positions[row], result.positions[row + 1]);
                ++row;
            }
            stop = row;
        }
    }
    return result;
}
