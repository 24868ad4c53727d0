#include "listing/listing_rows.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "listing/temp_file.h"

namespace {

using L = ListingLayout;
using Names = std::vector<std::string>;

// What a line pass made of a content: the names of its rows, or the number and text of its bad line.
struct PassResult {
    Names names;
    long long badLine = 0;
    std::string badText{};

    bool operator==(const PassResult&) const = default;
};

void PrintTo(const PassResult& result, std::ostream* os) {
    *os << "bad line " << result.badLine << " '" << result.badText << "', names:";
    for (const std::string& name : result.names)
        *os << " '" << name << "'";
}

// The pass over a file holding `content`, as the window reads it.
PassResult ReadFile(L layout, std::string_view content, long long stopAfter = -1) {
    FilePtr file = MakeTempFile(content);
    PassResult result;
    if (!file)
        return result;
    CLineReader reader(file.get());
    const ListingPass pass = ReadListingRows(reader, layout, [&](const ListingLine& fields, long long i) {
        EXPECT_EQ(i, static_cast<long long>(result.names.size())) << "rows are numbered without gaps";
        if (static_cast<long long>(result.names.size()) == stopAfter)
            return false;
        result.names.emplace_back(fields.name);
        return true;
    });
    EXPECT_EQ(pass.rows, static_cast<long long>(result.names.size()));
    EXPECT_EQ(pass.stopped, stopAfter >= 0 && pass.rows == stopAfter);
    result.badLine = pass.badLine;
    result.badText = pass.badText;
    if (pass.Failed())
        result.names.clear(); // the rows before a bad line are thrown away
    return result;
}

// A plain reader written from the rules, with no count, no tables and no shortcuts: the reference.
PassResult ReferenceRead(L layout, const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        const bool feed = end != std::string::npos;
        if (!feed)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (feed && !line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    const auto isHex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    const auto fieldsValid = [&](const std::string& line) {
        if (layout == L::FileList) {
            if (line.size() < 10)
                return false;
            for (int i = 0; i < 7; ++i)
                if (!std::isdigit(static_cast<unsigned char>(line[i])))
                    return false;
            return line.compare(7, 3, " , ") == 0;
        }
        const int hexFields = layout == L::ThreeColumns ? 2 : 3;
        const std::size_t nameOffset = static_cast<std::size_t>(NameOffset(layout));
        if (line.size() < nameOffset)
            return false;
        std::size_t at = 0;
        for (int f = 0; f < hexFields; ++f, at += 9)
            for (std::size_t k = at; k < at + 9; ++k)
                if (k < at + 8 ? !isHex(line[k]) : line[k] != '|')
                    return false;
        return layout != L::FiveColumns || (isHex(line[27]) && line[28] == '|');
    };
    const auto blank = [](const std::string& line) { return line.empty() || line == "\r"; };
    std::size_t lastData = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!blank(lines[i]))
            lastData = i;
    PassResult result;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (blank(line))
            continue;
        const std::size_t nameOffset = static_cast<std::size_t>(NameOffset(layout));
        if (!fieldsValid(line) || (line.size() == nameOffset && i != lastData))
            return PassResult{{}, static_cast<long long>(i + 1), line};
        if (line.size() > nameOffset)
            result.names.push_back(line.substr(nameOffset));
    }
    return result;
}

} // namespace

TEST(ListingRows, ExpectedLinesFromTheCountOfTheLayoutsByte) {
    EXPECT_EQ(CountedByte(ListingLayout::ThreeColumns), '|');
    EXPECT_EQ(CountedByte(ListingLayout::FiveColumns), '|');
    EXPECT_EQ(CountedByte(ListingLayout::FileList), ',');
    EXPECT_EQ(ExpectedLines(ListingLayout::ThreeColumns, 11), 5);
    EXPECT_EQ(ExpectedLines(ListingLayout::FourColumns, 11), 3);
    EXPECT_EQ(ExpectedLines(ListingLayout::FiveColumns, 11), 2);
    EXPECT_EQ(ExpectedLines(ListingLayout::FileList, 11), 11);
    EXPECT_EQ(ExpectedLines(ListingLayout::ThreeColumns, -1), 0) << "a failed count";
}

TEST(ListingRows, WhichLinesBecomeRowsAndWhichStopThePass) {
    struct Case {
        const char* what;
        L layout;
        std::string content;
        PassResult result;
    };
    const std::string a = "0000001A|00000800|A\r\n";
    const std::string b = "0000001b|00000800|B\r\n";
    const Case cases[] = {
        {"plain", L::ThreeColumns, a + b + "0000001C|00000800|C", {{"A", "B", "C"}}},
        {"blank lines anywhere",
         L::ThreeColumns,
         "\r\n" + a + "\n\r\n\r" + "\n" + b + "\r\n\n",
         {{"A", "B"}}},
        {"a bar in a name", L::ThreeColumns, "0000001A|00000800|A|B|C\n" + b, {{"A|B|C", "B"}}},
        {"empty name last", L::ThreeColumns, a + b + "0000001C|00000800|\r\n\r\n", {{"A", "B"}}},
        {"empty name before data",
         L::ThreeColumns,
         a + "0000001C|00000800|\r\n\r\n" + b,
         {{}, 2, "0000001C|00000800|"}},
        {"junk, counted with the blank line",
         L::ThreeColumns,
         a + "\r\nthis is junk\r\n" + b,
         {{}, 3, "this is junk"}},
        {"a field that is not hex", L::ThreeColumns, "0000001B|ZZZZ|B.BIN\n", {{}, 1, "0000001B|ZZZZ|B.BIN"}},
        {"a short field", L::ThreeColumns, a + "0000001|00000800|XY\n", {{}, 2, "0000001|00000800|XY"}},
        {"a space for a bar", L::ThreeColumns, "0000001A 00000800|A\n", {{}, 1, "0000001A 00000800|A"}},
        {"shorter than the name offset",
         L::ThreeColumns,
         a + "0000001C|0000080",
         {{}, 2, "0000001C|0000080"}},
        {"three columns as four", L::FourColumns, a, {{}, 1, "0000001A|00000800|A"}},
        {"four columns", L::FourColumns, "0000001A|00000800|00000010|N M\r\n", {{"N M"}}},
        {"five columns", L::FiveColumns, "0000001A|00000800|00000010|c|N\r\n", {{"N"}}},
        {"five columns, digit not hex",
         L::FiveColumns,
         "0000001A|00000800|00000010|G|N\n",
         {{}, 1, "0000001A|00000800|00000010|G|N"}},
        {"file list", L::FileList, "0000012 , X\r\n\r\n0000013 , Y,Z", {{"X", "Y,Z"}}},
        {"file list with a sign", L::FileList, "-000005 , X\n", {{}, 1, "-000005 , X"}},
        {"file list without the spaces", L::FileList, "0000012, X\n", {{}, 1, "0000012, X"}},
        {"file list number of eight digits", L::FileList, "00000012 , X\n", {{}, 1, "00000012 , X"}},
        {"nothing but blank lines", L::ThreeColumns, "\r\n\n\r", {}},
        {"empty", L::ThreeColumns, "", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadFile(c.layout, c.content), c.result) << c.what;
        EXPECT_EQ(ReferenceRead(c.layout, c.content), c.result) << c.what << " (the reference reader)";
    }
    EXPECT_EQ(ReadFile(L::ThreeColumns, a + b, 1), (PassResult{{"A"}})) << "the sink stops it";
}

TEST(ListingRows, TheCountNeitherDropsNorInventsRowsAgainstAPlainReader) {
    // Listings of the three layouts with bars and commas in names (a count too high), blank lines, lines
    // cut short, junk and empty names, compared with the reference reader.
    std::mt19937 random(19);
    const L layouts[] = {L::ThreeColumns, L::FourColumns, L::FiveColumns, L::FileList};
    for (int round = 0; round < 400; ++round) {
        const L layout = layouts[round % 4];
        std::string content;
        const int lines = static_cast<int>(random() % 12);
        for (int i = 0; i < lines; ++i) {
            std::string line;
            if (layout == L::FileList) {
                line = "00000" + std::to_string(10 + random() % 90) + " , ";
            } else {
                line = "0000001A|8000000F|";
                if (layout != L::ThreeColumns)
                    line += "FFFFFFFF|";
                if (layout == L::FiveColumns)
                    line += "e|";
            }
            const char* names[] = {"N", "a|b", "x,y", "|", ",,", " s "};
            line += names[random() % 6];
            switch (random() % 10) {
            case 0:
                line.clear();
                break; // blank
            case 1:
                line = "junk";
                break; // junk
            case 2:
                line.resize(NameOffset(layout));
                break; // empty name
            case 3:
                line.resize(static_cast<std::size_t>(random() % 12));
                break; // cut short
            case 4:
                line[random() % 8] = 'g';
                break; // a bad digit
            default:
                break;
            }
            content += line + (random() % 2 ? "\r\n" : "\n");
        }
        const PassResult expected = ReferenceRead(layout, content);
        EXPECT_EQ(ReadFile(layout, content), expected) << content;
        // The count is never below the rows: it can size the load.
        if (expected.badLine == 0) {
            EXPECT_GE(ExpectedLines(layout, std::count(content.begin(), content.end(), CountedByte(layout))),
                      static_cast<long long>(expected.names.size()));
        }
    }
}
