// Sorting the report table by header clicks: the order of each kind of text, the direction rules, the
// header's sort state, and the list's sort with CompareRows giving exactly the order SortByColumn gives.
#include "standalone_table.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/list_model.h"
#include "sorting/mixed_cell_texts.h"

namespace {

// A table that can also be sorted the plain way: the list calls CompareRows for every pair it compares.
class CPlainSortListCtrl : public CColumnListCtrl {
public:
    BOOL SortByCompareRows(int nColumn, BOOL bAscending) {
        m_nSortColumn = nColumn;
        m_bSortAscending = bAscending;
        return SortItems(&CColumnListCtrl::CompareRows, reinterpret_cast<DWORD_PTR>(this));
    }
};

// Rows of one sorted column and a second column naming each row by its position when added.
std::vector<std::vector<std::string>> NamedRows(const std::vector<std::string>& texts) {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < texts.size(); ++i)
        rows.push_back({texts[i], "r" + std::to_string(i)});
    return rows;
}

std::vector<std::string> Reversed(std::vector<std::string> texts) {
    std::reverse(texts.begin(), texts.end());
    return texts;
}

bool IsOwnerDrawn(CHeaderCtrl& header, int nColumn) {
    HDITEM item;
    item.mask = HDI_FORMAT;
    EXPECT_TRUE(header.GetItem(nColumn, &item));
    return (item.fmt & HDF_OWNERDRAW) != 0;
}

TEST(ColumnListSort, HeaderClicksSortEachKindOfTextBothWays) {
    struct Case {
        const char* name;
        std::vector<std::string> texts;
        std::vector<std::string> ascending;  // the row names after the first click
        std::vector<std::string> descending; // after the second
    };
    const Case cases[] = {
        {"numbers by value, not as text", {"100", "20", "3"}, {"r2", "r1", "r0"}, {"r0", "r1", "r2"}},
        // 12 and 0012 are the same number and keep their order in both directions.
        {"equal numbers stay in order", {"12", "7", "0012"}, {"r1", "r0", "r2"}, {"r0", "r2", "r1"}},
        {"dates by year, month, day",
         {"01/02/2004", "31/12/2003", "15/01/2004"},
         {"r1", "r2", "r0"},
         {"r0", "r2", "r1"}},
        {"words alphabetically, case breaks ties",
         {"apple", "Banana", "Apple"},
         {"r0", "r2", "r1"},
         {"r1", "r2", "r0"}},
        {"hyphen next to the plain word", {"coq", "coop", "co-op"}, {"r2", "r1", "r0"}, {"r0", "r1", "r2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandaloneTable table("Key,80;Name,80");
        table.AddRows(NamedRows(c.texts));
        table.Click(0);
        EXPECT_EQ(table.Column(1), c.ascending);
        EXPECT_TRUE(table.List().IsSortAscending());
        table.Click(0);
        EXPECT_EQ(table.Column(1), c.descending);
        EXPECT_FALSE(table.List().IsSortAscending());
    }
}

TEST(ColumnListSort, MixedColumnKeepsEveryRow) {
    // Numbers, a signed number, a near date, a date, words and an empty cell: the comparison of such a
    // column is not consistent, but every sort must leave each row exactly once.
    const std::vector<std::string> texts = {"12", "abc", "-5",  "1/2/2004", "01/02/2004",
                                            "",   "7",   "Abc", "0012"};
    StandaloneTable table("Key,80;Name,80");
    table.AddRows(NamedRows(texts));
    for (int click = 0; click < 4; ++click) {
        table.Click(0);
        std::vector<std::string> keys = table.Column(0);
        std::sort(keys.begin(), keys.end());
        std::vector<std::string> expected = texts;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(keys, expected) << "click " << click;
        // Each row's cells still belong together.
        for (int i = 0; i < table.List().GetItemCount(); ++i) {
            const int original = std::stoi(table.List().GetItemText(i, 1).substr(1));
            EXPECT_EQ(table.List().GetItemText(i, 0), texts[static_cast<std::size_t>(original)]);
        }
    }
}

TEST(ColumnListSort, ClicksAlternateOnOneColumnAndStartAscendingOnAnother) {
    StandaloneTable table("A,80;B,80");
    table.AddRows({{"2", "b"}, {"1", "c"}, {"3", "a"}});
    EXPECT_EQ(table.List().GetSortColumn(), -1);

    const std::vector<std::string> up = {"1", "2", "3"};
    table.Click(0);
    EXPECT_EQ(table.Column(0), up);
    table.Click(0);
    EXPECT_EQ(table.Column(0), Reversed(up));
    table.Click(0);
    EXPECT_EQ(table.Column(0), up);
    table.Click(0);
    EXPECT_EQ(table.Column(0), Reversed(up));

    // Column 0 was left descending; another column sorts ascending, and so does coming back.
    table.Click(1);
    EXPECT_EQ(table.Column(1), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(table.List().GetSortColumn(), 1);
    EXPECT_TRUE(table.List().IsSortAscending());
    table.Click(0);
    EXPECT_EQ(table.Column(0), up);
    EXPECT_TRUE(table.List().IsSortAscending());
}

TEST(ColumnListSort, HeaderFollowsTheSortState) {
    StandaloneTable table("A,80;B,80;C,80;D,80;E,80");
    table.AddRows({{"1", "2", "3", "4", "5"}});
    CColumnHeaderCtrl& header = table.List().GetColumnHeader();
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(IsOwnerDrawn(header, i)) << "before any sort, item " << i;
    EXPECT_EQ(header.GetSortColumn(), -1);

    table.Click(2);
    table.Click(4);
    table.Click(4);
    EXPECT_EQ(header.GetSortColumn(), 4);
    EXPECT_FALSE(header.IsSortAscending());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(IsOwnerDrawn(header, i), i == 2 || i == 4) << "item " << i;
}

TEST(ColumnListSort, RowsAddedAfterASortGoToTheEnd) {
    StandaloneTable table("A,80;B,80");
    table.AddRows({{"3", "x"}, {"1", "y"}});
    table.Click(0);
    EXPECT_EQ(table.List().AddRow(std::vector<std::string_view>{"2", "z"}), 2);
    EXPECT_EQ(table.Column(0), (std::vector<std::string>{"1", "3", "2"}));
    EXPECT_EQ(table.List().GetSortColumn(), 0);
    EXPECT_TRUE(table.List().IsSortAscending());
    // The stored state decides the next click: the same column again sorts descending.
    table.Click(0);
    EXPECT_EQ(table.Column(0), (std::vector<std::string>{"3", "2", "1"}));
}

TEST(ColumnListSort, SortOfAnEmptyTableOnlySetsTheStateAndTheHeader) {
    StandaloneTable table("A,80;B,80");
    EXPECT_TRUE(table.List().SortByColumn(1, FALSE));
    EXPECT_EQ(table.List().GetItemCount(), 0);
    EXPECT_EQ(table.List().GetSortColumn(), 1);
    EXPECT_FALSE(table.List().IsSortAscending());
    EXPECT_EQ(table.List().GetColumnHeader().GetSortColumn(), 1);
    EXPECT_TRUE(IsOwnerDrawn(table.List().GetColumnHeader(), 1));
    EXPECT_FALSE(IsOwnerDrawn(table.List().GetColumnHeader(), 0));

    // Emptying the table clears the state and the arrow: the next click sorts ascending.
    table.AddRows({{"b", "1"}, {"a", "2"}});
    table.List().DeleteAllRows();
    EXPECT_EQ(table.List().GetSortColumn(), -1);
    EXPECT_EQ(table.List().GetColumnHeader().GetSortColumn(), -1);
    EXPECT_TRUE(table.List().IsSortAscending());
}

TEST(ColumnListSort, ColumnThatDoesNotExistSortsNothing) {
    StandaloneTable table("A,80;B,80");
    table.AddRows({{"b", "1"}, {"a", "2"}});
    for (int nColumn : {-1, 2, 1000}) {
        EXPECT_FALSE(table.List().SortByColumn(nColumn, TRUE)) << nColumn;
        EXPECT_EQ(table.Column(0), (std::vector<std::string>{"b", "a"})) << nColumn;
    }
}

// The list's sort with CompareRows is the reference: for each kind of column, and for a sequence of sorts
// that each start from the order the last one left, SortByColumn must give exactly its order. Under the
// sanitizers this also shows that the list's sort stays within the rows for inconsistent comparisons.
TEST(ColumnListSort, SortByColumnEqualsTheListSortWithCompareRows) {
    constexpr std::size_t kRows = 30000;
    const std::vector<std::string> mixed = MakeMixedCellTexts(kRows, 11, TextMix::AllKinds);
    const std::vector<std::string> numbers = MakeMixedCellTexts(kRows, 12, TextMix::MostlyNumbers);
    const std::vector<std::string> words = MakeMixedCellTexts(kRows, 13, TextMix::WordsOnly);
    const std::vector<std::string> signedNumbers = MakeMixedCellTexts(kRows, 14, TextMix::SignedNumbers);
    const std::vector<std::string> fewNegatives = MakeMixedCellTexts(kRows, 15, TextMix::FewNegatives);
    std::vector<std::string> dates;
    for (std::size_t i = 0; i < kRows; ++i) {
        char date[16];
        std::snprintf(date, sizeof date, "%02zu/%02zu/%04zu", i * 7 % 31 + 1, i * 5 % 12 + 1,
                      1990 + i * 3 % 40);
        dates.push_back(date);
    }
    // Texts of any length up to 200 bytes, long digit runs among them, often equal in their first bytes.
    std::vector<std::string> longTexts;
    for (std::size_t i = 0; i < kRows; ++i) {
        const std::size_t length = i * 7919 % 200;
        longTexts.push_back(i % 5 == 0 ? std::string(length, '7')
                                       : std::string(length, "aAb"[i % 3]) + words[i]);
    }
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < kRows; ++i)
        rows.push_back({"r" + std::to_string(i), mixed[i], numbers[i], words[i], dates[i], longTexts[i],
                        signedNumbers[i], fewNegatives[i]});

    const char* columns = "Id,60;Mixed,60;Numbers,60;Words,60;Dates,60;Long,60;Signed,60;Negatives,60";
    StandaloneTable<CPlainSortListCtrl> fast(columns);
    StandaloneTable<CPlainSortListCtrl> plain(columns);
    fast.AddRows(rows);
    plain.AddRows(rows);

    const std::pair<int, BOOL> sorts[] = {{1, TRUE}, {1, FALSE}, {2, TRUE},  {3, FALSE}, {4, TRUE},
                                          {5, TRUE}, {6, TRUE},  {7, FALSE}, {2, FALSE}, {3, TRUE},
                                          {1, TRUE}, {4, FALSE}, {5, FALSE}, {6, FALSE}, {7, TRUE}};
    for (const auto& [nColumn, bAscending] : sorts) {
        SCOPED_TRACE("column " + std::to_string(nColumn) + " ascending " + std::to_string(bAscending));
        EXPECT_TRUE(fast.List().SortByColumn(nColumn, bAscending));
        EXPECT_TRUE(plain.List().SortByCompareRows(nColumn, bAscending));
        const std::vector<std::string> ids = fast.Column(0);
        ASSERT_TRUE(ids == plain.Column(0));
        std::vector<std::string> sorted = ids;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_TRUE(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end())
            << "a row appears twice";
        ASSERT_EQ(sorted.size(), kRows);
    }
}

// The list's own sort with a comparison that answers at random: it must finish, keep every row, and keep
// each row's texts and data word together.
TEST(ColumnListSort, ListSortSurvivesAnyComparison) {
    StandaloneTable table("A,80");
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back({std::to_string(i)});
    table.AddRows(rows);
    static std::uint32_t state = 1;
    const PFNLVCOMPARE randomAnswer = [](LPARAM, LPARAM, LPARAM) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % 3) - 1;
    };
    EXPECT_TRUE(table.List().SortItems(randomAnswer, 0));
    std::map<std::string, DWORD_PTR> seen;
    for (int i = 0; i < table.List().GetItemCount(); ++i) {
        const auto* record = reinterpret_cast<const RowRecord*>(table.List().GetItemData(i));
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->Cell(0), table.List().GetItemText(i, 0));
        seen[table.List().GetItemText(i, 0)] = table.List().GetItemData(i);
    }
    EXPECT_EQ(seen.size(), rows.size());
}

// The record holds the row's texts as they were added: a later change of the list's text shows in the list
// but does not reach the record, which the sort reads.
TEST(ColumnListSort, RecordsKeepTheTextsOfTheirRows) {
    StandaloneTable table("A,60;B,60");
    table.AddRows({{"b", "r0"}, {"a", "r1"}});
    EXPECT_TRUE(table.List().SetItemText(0, 0, "c"));
    EXPECT_EQ(table.Column(0), (std::vector<std::string>{"c", "a"}));
    const auto* record = reinterpret_cast<const RowRecord*>(table.List().GetItemData(0));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Cell(0), "b");
    EXPECT_TRUE(table.List().SortByColumn(0, FALSE));
    EXPECT_EQ(table.Column(1), (std::vector<std::string>{"r0", "r1"}));
}

// A cell of megabytes is shown cut, with an ellipsis, and the same text at every paint; its bytes stay
// whole for reading and sorting. UTF-8 is cut before a character, other bytes anywhere.
TEST(ColumnListSort, LongCellsAreShownCutAndKeptWhole) {
    const std::string utf8 =
        std::string(CListModel::kShownBytes - 1, 'u') + "\xc3\xa9" + std::string(1 << 20, 'v');
    const std::string latin1 = std::string(3 << 20, 'w') + "\xe9";
    StandaloneTable table("A,60;B,60");
    table.AddRows({{utf8, "r0"}, {latin1, "r1"}, {"", "r2"}});
    table.List().UpdateWindow();
    auto* view = qobject_cast<QTableView*>(table.List().GetSafeWidget());
    const auto shown = [view](int row) { return view->model()->index(row, 0).data().toString(); };
    EXPECT_EQ(shown(0), QString(CListModel::kShownBytes - 1, u'u') + QChar(0x2026));
    EXPECT_EQ(shown(1), QString(CListModel::kShownBytes, u'w') + QChar(0x2026));
    EXPECT_EQ(shown(1).constData(), shown(1).constData()) << "decoded again for a second paint";
    EXPECT_EQ(table.List().GetItemText(0, 0), utf8);
    EXPECT_TRUE(table.List().SortByColumn(0, FALSE));
    EXPECT_EQ(table.Column(1), (std::vector<std::string>{"r1", "r0", "r2"}));
}

} // namespace
