#include "table/column_texts.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "table/row_record.h"

namespace {

// Records of two columns; the texts of column 1 are the ones under test.
struct Records {
    explicit Records(const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            auto record = std::make_unique<RowRecord>();
            record->ppszCells = std::make_unique<std::string[]>(2);
            record->ppszCells[0] = "other";
            record->ppszCells[1] = text;
            words.push_back(reinterpret_cast<DWORD_PTR>(record.get()));
            owned.push_back(std::move(record));
        }
    }
    std::vector<std::unique_ptr<RowRecord>> owned;
    std::vector<DWORD_PTR> words;
};

TEST(ColumnTexts, EachRowIndexGetsItsRecordsText) {
    const std::string atLimit(CColumnTexts::kSlotLimit, 'x');
    const std::string beyond(CColumnTexts::kSlotLimit + 1, 'y');
    struct Case {
        const char* name;
        std::vector<std::string> texts;  // in the order the rows were made
        std::vector<std::uint32_t> index;
    };
    const Case cases[] = {
        {"none", {}, {}},
        {"all empty", {"", ""}, {1, 0}},
        {"short texts of different lengths", {"12", "", "abc", "0012"}, {2, 0, 3, 1}},
        {"slot at the limit", {"a", atLimit, "bb"}, {1, 2, 0}},
        {"longer than a slot", {beyond, "a", beyond + "z", ""}, {3, 1, 0, 2}},
        {"bytes kept as they are", {std::string("\0\xff\xe9", 3), "\x80"}, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Records records(c.texts);
        const CColumnTexts texts(records.words, c.index, 1);
        ASSERT_EQ(texts.GetCount(), c.texts.size());
        for (std::size_t k = 0; k < c.texts.size(); ++k)
            EXPECT_EQ(texts.At(c.index[k]), c.texts[k]) << "row made " << k;
    }
}

TEST(ColumnTexts, RowWithoutARecordHasTheEmptyText) {
    const Records records({"abc"});
    const CColumnTexts texts({0, records.words[0]}, {1, 0}, 1);
    EXPECT_EQ(texts.At(0), "abc");
    EXPECT_EQ(texts.At(1), "");
}

}  // namespace
