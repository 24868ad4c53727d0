#include "listing/line_reader.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "listing/scan_rules.h"
#include "listing/temp_file.h"

using namespace std::string_literals;

namespace {

std::vector<std::string> ReadAll(std::string_view content) {
    FilePtr file = MakeTempFile(content);
    std::vector<std::string> lines;
    if (!file)
        return lines;
    CLineReader reader(file.get());
    std::string line = "stale";
    while (reader.ReadLine(line))
        lines.push_back(line);
    EXPECT_TRUE(line.empty()) << "the line is cleared when nothing is left";
    EXPECT_FALSE(reader.ReadLine(line)) << "the end stays the end";
    EXPECT_FALSE(reader.ReadFailed());
    // The reader of bytes in memory gives the same lines, as views into the bytes.
    CMemoryLineReader memory(content);
    std::vector<std::string> memoryLines;
    std::string_view view;
    while (memory.ReadLine(view)) {
        EXPECT_TRUE(view.empty() || (view.data() >= content.data() &&
                                     view.data() + view.size() <= content.data() + content.size()));
        memoryLines.emplace_back(view);
    }
    EXPECT_FALSE(memory.ReadLine(view));
    EXPECT_EQ(memoryLines, lines);
    return lines;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(CLineReader, LineEndsOfATextModeStream) {
    struct Case {
        const char* what;
        std::string content;
        Lines lines;
    };
    const Case cases[] = {
        {"empty file", "", {}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"LF", "a\nb\n", {"a", "b"}},
        {"mixed", "a\r\nb\nc\r\n", {"a", "b", "c"}},
        {"last line without LF", "a\nb", {"a", "b"}},
        {"only one line, unterminated", "0000001A|00000800|BOOT.BIN", {"0000001A|00000800|BOOT.BIN"}},
        {"lone CR inside a line", "a\rb\n", {"a\rb"}},
        {"lone CR at the end of the file", "a\r", {"a\r"}},
        {"two CRs before LF", "a\r\r\n", {"a\r"}},
        {"empty lines", "\n\r\n\n", {"", "", ""}},
        {"CR only", "\r", {"\r"}},
        {"NUL and high bytes", "x\0y\x80\xff\n\0\n"s, {"x\0y\x80\xff"s, "\0"s}},
        {"separators kept", "1|2|3 , 4\n", {"1|2|3 , 4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReadAll(c.content), c.lines);
    }
}

TEST(CLineReader, LongLinesAreOneLine) {
    const std::string line300(300, 'x');
    EXPECT_EQ(ReadAll(line300 + "\r\nnext\r\n"), (Lines{line300, "next"}));

    const std::string huge(3 * CLineReader::kBlockSize + 17, 'y');
    EXPECT_EQ(ReadAll("a\n" + huge + "\r\nb"), (Lines{"a", huge, "b"}));
}

TEST(CLineReader, LineEndsAcrossABlockBoundary) {
    const std::size_t block = CLineReader::kBlockSize;
    struct Case {
        const char* what;
        std::string content;
        Lines lines;
    };
    const std::string head(block - 1, 'h');
    const Case cases[] = {
        {"CR last in a block, LF first in the next", head + "\r\nnext\n", {head, "next"}},
        {"LF last in a block", head + "\nnext", {head, "next"}},
        {"LF first in the next block", head + "h\nnext", {head + "h", "next"}},
        {"lone CR last in a block", head + "\rnext\n", {head + "\rnext"}},
        {"file of exactly one block", head + "\n", {head}},
        {"file of exactly one block, no LF", head + "h", {head + "h"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReadAll(c.content), c.lines);
    }
}

TEST(CLineReader, ManyShortLinesSpanningBlocks) {
    std::string content;
    Lines expected;
    for (int i = 0; content.size() < 2 * CLineReader::kBlockSize + 100; ++i) {
        expected.push_back(std::to_string(i) + "|" + std::string(static_cast<std::size_t>(i % 37), 'n'));
        content += expected.back() + (i % 2 ? "\r\n" : "\n");
    }
    EXPECT_EQ(ReadAll(content), expected);
}

TEST(CountByte, CountsTheWholeFileBlockByBlock) {
    struct Case {
        const char* what;
        std::size_t size;  // bytes in the file
        std::size_t every; // every n-th byte is the counted one
        long long count;
        int blocks;
    };
    const std::size_t block = CLineReader::kBlockSize;
    const Case cases[] = {
        {"empty file", 0, 1, 0, 0},
        {"less than a block", 100, 10, 10, 1},
        {"exactly one block", block, 2, static_cast<long long>(block / 2), 1},
        {"two and a half blocks", 2 * block + block / 2, 4,
         static_cast<long long>((2 * block + block / 2) / 4), 3},
        // Nothing but counted bytes, past a block boundary: no partial tally may wrap.
        {"every byte, past a block", block + 300, 1, static_cast<long long>(block + 300), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string content(c.size, 'x');
        for (std::size_t i = c.every - 1; i < c.size; i += c.every)
            content[i] = '|';
        FilePtr file = MakeTempFile(content);
        ASSERT_TRUE(file);
        int calls = 0;
        EXPECT_EQ(CountByte(file.get(), '|', [&calls] { ++calls; }), c.count);
        EXPECT_EQ(calls, c.blocks);
    }
}

TEST(CountByte, StartsFromTheBeginningWhereverTheFileStands) {
    FilePtr file = MakeTempFile("a,b,c\n,,\n");
    ASSERT_TRUE(file);
    std::fseek(file.get(), 0, SEEK_END);
    EXPECT_EQ(CountByte(file.get(), ',', {}), 4);
    EXPECT_EQ(CountByte(file.get(), '\n', nullptr), 2);
    EXPECT_EQ(CountByte(file.get(), '\0', {}), 0);
}

TEST(CountByte, CountsHighAndNulBytes) {
    FilePtr file = MakeTempFile("\xff\0\xff\0\0"s);
    ASSERT_TRUE(file);
    EXPECT_EQ(CountByte(file.get(), '\xff', {}), 2);
    EXPECT_EQ(CountByte(file.get(), '\0', {}), 3);
}

TEST(CountByte, ReadsOnlyTheLengthTheFileHadAtTheStart) {
    // Each block read makes the file a block longer: a count that followed the growth would never end.
    // A start of 1.5 blocks ends inside a block, where a count that read whole blocks would take in
    // half a block of the growth.
    const std::size_t block = CLineReader::kBlockSize;
    for (const std::size_t start : {2 * block, 3 * block / 2}) {
        SCOPED_TRACE(start);
        FilePtr file = MakeTempFile(std::string(start, '|'));
        ASSERT_TRUE(file);
        const std::string more(block, '|');
        int calls = 0;
        const long long count = CountByte(file.get(), '|', [&] {
            if (++calls > 8)
                return; // a count that follows the growth ends all the same, with a wrong result
            const long position = std::ftell(file.get());
            std::fseek(file.get(), 0, SEEK_END);
            std::fwrite(more.data(), 1, more.size(), file.get());
            std::fflush(file.get());
            std::fseek(file.get(), position, SEEK_SET);
        });
        EXPECT_EQ(count, static_cast<long long>(start));
        EXPECT_EQ(calls, 2);
    }
}

TEST(LineReader, ALimitEndsTheLinesWhereTheFileEndedWhenMeasured) {
    // The line pass of a load reads as far as the file reached at its count, however it grows after.
    FilePtr file = MakeTempFile("A\nB\nC\n");
    ASSERT_TRUE(file);
    CLineReader reader(file.get());
    reader.LimitTo(3);
    std::string line;
    std::vector<std::string> lines;
    while (reader.ReadLine(line))
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"A", "B"}));
}

TEST(CountByte, CountsAStreamWithoutALengthToItsEnd) {
    // An in-memory stream has no file behind it to measure, as the command-line tool's input has not.
    std::string bytes = "a|b|c\n|\n";
    FilePtr memory(fmemopen(bytes.data(), bytes.size(), "rb"));
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(CountByte(memory.get(), '|', {}), 3);
}

// A stream opened for writing only fails every read: Scan, the count and the line reader all say so.
TEST(LineReading, AReadErrorIsReported) {
    FilePtr content = MakeTempFile("0000001A|00000800|BOOT.BIN\r\n");
    ASSERT_TRUE(content);
    const std::string self = "/proc/self/fd/" + std::to_string(fileno(content.get()));
    FilePtr writeOnly(std::fopen(self.c_str(), "a"));
    ASSERT_NE(writeOnly, nullptr);
    EXPECT_EQ(CountByte(writeOnly.get(), '|', {}), -1);

    std::clearerr(writeOnly.get());
    EXPECT_TRUE(ScanFirstLine(writeOnly.get()).readFailed);

    std::clearerr(writeOnly.get());
    CLineReader reader(writeOnly.get());
    std::string line;
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_TRUE(reader.ReadFailed());
}
