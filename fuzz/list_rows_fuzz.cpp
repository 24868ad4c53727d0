// The table's row store against a plain model: rows of texts with a data word, a display order, and
// snapshots that keep the rows as they stood when taken, whatever happens to the table afterwards.
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "model/list_rows.h"

namespace {

struct ModelRow {
    std::vector<std::string> cells;
    CListRows::DataWord data = 0;

    std::string Cell(int column) const {
        return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)]
                                                       : std::string();
    }
};

// Rows in display order.
using Model = std::vector<ModelRow>;

void Check(bool ok) {
    if (!ok)
        std::abort();
}

void CheckTable(const CListRows& rows, const Model& model) {
    Check(rows.GetCount() == static_cast<int>(model.size()));
    for (int r = 0; r < rows.GetCount(); ++r) {
        for (int c = 0; c < 8; ++c)
            Check(rows.GetText(r, c) == model[static_cast<std::size_t>(r)].Cell(c));
        Check(rows.GetData(r) == model[static_cast<std::size_t>(r)].data);
    }
}

void CheckSnapshot(const CListRows::Snapshot& snapshot, const Model& model) {
    Check(snapshot.GetCount() == static_cast<int>(model.size()));
    for (int r = 0; r < snapshot.GetCount(); ++r) {
        for (int c = 0; c < 8; ++c)
            Check(snapshot.GetText(r, c) == model[static_cast<std::size_t>(r)].Cell(c));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput in(data, size);
    CListRows rows;
    Model model;
    std::vector<std::pair<CListRows::Snapshot, Model>> snapshots;
    while (!in.Empty()) {
        const int count = static_cast<int>(model.size());
        switch (in.Byte() % 8) {
        case 0: {
            const std::string text = in.Text(24);
            Check(rows.Append(text) == count);
            model.push_back({{text}, 0});
            break;
        }
        case 1:
        case 2: {
            // A text of the table itself is passed back in half of the time.
            const int row = count ? in.Byte() % (count + 1) : 0;
            const int column = in.Byte() % 8;
            std::string text;
            std::string_view source;
            if (count && (in.Byte() & 1)) {
                const int from = in.Byte() % count;
                const int fromColumn = in.Byte() % 8;
                text = model[static_cast<std::size_t>(from)].Cell(fromColumn);
                source = rows.GetText(from, fromColumn);
            } else {
                text = in.Text(300);
                source = text;
            }
            const bool set = rows.SetText(row, column, source);
            Check(set == (row < count));
            if (set) {
                auto& cells = model[static_cast<std::size_t>(row)].cells;
                if (static_cast<int>(cells.size()) <= column)
                    cells.resize(static_cast<std::size_t>(column) + 1);
                cells[static_cast<std::size_t>(column)] = text;
            }
            break;
        }
        case 3: {
            const int row = in.Byte() % (count + 1);
            const CListRows::DataWord word = in.Word();
            Check(rows.SetData(row, word) == (row < count));
            if (row < count)
                model[static_cast<std::size_t>(row)].data = word;
            break;
        }
        case 4: {
            // A new display order: a permutation of the present one, from a shuffle driven by the input.
            std::vector<std::uint32_t> order = rows.GetOrder();
            std::vector<std::size_t> moves(order.size());
            for (std::size_t i = 0; i < order.size(); ++i)
                moves[i] = i;
            for (std::size_t i = order.size(); i > 1; --i) {
                const std::size_t j = in.Byte() % i;
                std::swap(order[i - 1], order[j]);
                std::swap(moves[i - 1], moves[j]);
            }
            Check(rows.SetOrder(order));
            Model reordered;
            for (std::size_t i : moves)
                reordered.push_back(model[i]);
            model = std::move(reordered);
            if (!order.empty()) {
                order.back() = static_cast<std::uint32_t>(order.size()) + 5;
                Check(!rows.SetOrder(order));
            }
            break;
        }
        case 5:
            if (snapshots.size() < 4)
                snapshots.emplace_back(rows.TakeSnapshot(), model);
            break;
        case 6:
            if (!snapshots.empty())
                snapshots.erase(snapshots.begin() + in.Byte() % snapshots.size());
            break;
        case 7:
            if (in.Byte() % 4 == 0) {
                rows.Clear();
                model.clear();
            }
            break;
        }
        CheckTable(rows, model);
        for (const auto& [snapshot, seen] : snapshots)
            CheckSnapshot(snapshot, seen);
    }
    return 0;
}
