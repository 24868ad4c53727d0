// Rows moved by hand: the order the table takes and where the moved rows stand afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/row_moves.h"

namespace {

// The table "abcdef..." of `count` rows after the move, as the letters in their new order.
std::string Apply(std::uint32_t count, const RowMoveResult& result) {
    std::string order;
    for (std::uint32_t position : result.positions)
        order += static_cast<char>('a' + position);
    EXPECT_EQ(order.size(), count);
    return order;
}

TEST(RowMoves, EachMoveGivesTheOrderAndTheMovedRowsNewPlaces) {
    struct Case {
        std::vector<std::uint32_t> chosen;
        RowMove move;
        std::string order;
        std::vector<std::uint32_t> moved;
    };
    const Case cases[] = {
        {{2, 4}, RowMove::ToTop, "ceabdf", {0, 1}},
        {{2, 4}, RowMove::ToBottom, "abdfce", {4, 5}},
        {{2, 4}, RowMove::Up, "acbedf", {1, 3}},
        {{2, 4}, RowMove::Down, "abdcfe", {3, 5}},
        // A block moves as a whole; rows held at an end by chosen rows stay.
        {{2, 3}, RowMove::Up, "acdbef", {1, 2}},
        {{0, 1, 3}, RowMove::Up, "abdcef", {0, 1, 2}},
        {{4, 5}, RowMove::Down, "abcdef", {4, 5}},
        {{3, 5}, RowMove::Down, "abcedf", {4, 5}},
        {{0}, RowMove::ToTop, "abcdef", {0}},
        {{}, RowMove::Up, "abcdef", {}},
    };
    for (const Case& c : cases) {
        const RowMoveResult result = MoveChosenRows(6, c.chosen, c.move);
        EXPECT_EQ(Apply(6, result), c.order) << c.order;
        EXPECT_EQ(result.moved, c.moved) << c.order;
    }
}

TEST(RowMoves, ADropPutsTheChosenRowsBeforeTheRowUnderIt) {
    struct Case {
        std::vector<std::uint32_t> chosen;
        std::uint32_t before;
        std::string order;
        std::uint32_t first;
    };
    const Case cases[] = {
        {{0, 2}, 5, "bdeacf", 3}, {{3, 4}, 1, "adebcf", 1}, {{1, 2}, 2, "abcdef", 1}, // onto itself
        {{1}, 6, "acdefb", 5},    {{1}, 99, "acdefb", 5},                             // past the end
    };
    for (const Case& c : cases) {
        const RowMoveResult result = MoveChosenRowsBefore(6, c.chosen, c.before);
        EXPECT_EQ(Apply(6, result), c.order);
        ASSERT_EQ(result.moved.size(), c.chosen.size());
        EXPECT_EQ(result.moved.front(), c.first) << c.order;
    }
}

} // namespace
