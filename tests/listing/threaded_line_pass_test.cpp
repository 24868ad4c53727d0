#include "listing/threaded_line_pass.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "listing/temp_file.h"

namespace {

using Cells = std::array<std::string, CellCount>;

// A five-column listing of n rows with a blank line now and then and names of every length up to 300
// bytes (long cells take another header in the table) and a few of 100,000, then `tail`.
std::string FiveColumnListing(int n, const std::string& tail) {
    std::string text;
    char head[64];
    for (int i = 0; i < n; ++i) {
        std::snprintf(head, sizeof head, "%08X|%08X|%08X|%d|", 0x100u + 7u * static_cast<unsigned>(i),
                      static_cast<unsigned>(i) * 2048u, static_cast<unsigned>(i) % 977u, i % 10);
        text += head;
        text += "name-" + std::to_string(i) + std::string(static_cast<std::size_t>(i % 300), 'x');
        // Now and then a name too long to copy, which the caller reads from the line itself.
        if (i % 4000 == 1 || i == 4002)
            text += std::string(100000, static_cast<char>('a' + i % 26));
        text += "\r\n";
        if (i % 1000 == 999)
            text += "\r\n";
    }
    return text + tail;
}

// The rows and the end of the plain pass, each row's cells as the table gets them.
ListingPass PlainPass(const std::string& text, std::vector<Cells>& rows) {
    FilePtr file = MakeTempFile(text);
    CLineReader reader(file.get());
    return ReadListingRows(reader, ListingLayout::FiveColumns, [&](const ListingLine& fields, long long i) {
        RowCellViews views;
        FormRowCellViews(ListingLayout::FiveColumns, fields, i, views);
        Cells& cells = rows.emplace_back();
        for (int c = 0; c < CellCount; ++c)
            cells[static_cast<std::size_t>(c)] = std::string(views.cells[static_cast<std::size_t>(c)]);
        return true;
    });
}

// Over many batches, with a bad line at the end and without: the same rows, in the same order with the
// same indexes, and the same end as the pass on the caller's thread.
TEST(ThreadedLinePass, GivesThePlainPassesRowsAndEnd) {
    for (const std::string& tail : {std::string(), std::string("00000001|00000002|bad line\r\n")}) {
        const std::string text = FiveColumnListing(10000, tail);
        std::vector<Cells> expected;
        const ListingPass plain = PlainPass(text, expected);

        FilePtr file = MakeTempFile(text);
        CLineReader reader(file.get());
        CThreadedLinePass pass(reader, ListingLayout::FiveColumns);
        std::vector<Cells> rows;
        CRowBatch batch;
        while (pass.NextBatch(batch)) {
            ASSERT_EQ(batch.FirstIndex(), static_cast<long long>(rows.size()));
            for (std::size_t k = 0; k < batch.GetCount(); ++k) {
                Cells& cells = rows.emplace_back();
                const auto views = batch.Cells(k);
                for (int c = 0; c < CellCount; ++c)
                    cells[static_cast<std::size_t>(c)] = std::string(views[static_cast<std::size_t>(c)]);
            }
        }
        EXPECT_FALSE(pass.NextBatch(batch)) << "the end stays the end";
        EXPECT_EQ(rows, expected);
        EXPECT_EQ(pass.Result().rows, plain.rows);
        EXPECT_EQ(pass.Result().badLine, plain.badLine);
        EXPECT_EQ(pass.Result().badText, plain.badText);
        EXPECT_EQ(pass.Result().Failed(), !tail.empty());
        EXPECT_FALSE(reader.ReadFailed());
    }
}

// A caller that stops taking batches (a load the window's user replaced) ends the pass: the thread,
// held up by the full queue, stops at its next row instead of reading on, and nothing waits forever.
TEST(ThreadedLinePass, EndsWhenTheCallerStopsTaking) {
    const std::string text = FiveColumnListing(100000, std::string());
    FilePtr file = MakeTempFile(text);
    CLineReader reader(file.get());
    {
        CThreadedLinePass pass(reader, ListingLayout::FiveColumns);
        CRowBatch batch;
        ASSERT_TRUE(pass.NextBatch(batch));
        EXPECT_GT(batch.GetCount(), 0u);
    }
    std::string line;
    EXPECT_TRUE(reader.ReadLine(line)) << "the pass stopped before the end of the file";
}

} // namespace
