#include "listing/sort_weights.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

struct Result {
    std::string text;
    std::optional<Failure> refusal;
};

Result Export(SortWeightFormat format, std::string_view prefix, const std::vector<std::string>& names) {
    Result result{"kept\n", std::nullopt};
    const CResult<void> written =
        AppendSortWeights(result.text, format, prefix, names.size(),
                          [&names](std::size_t i) { return std::string_view(names[i]); });
    if (!written)
        result.refusal = written.Error();
    return result;
}

constexpr auto kMkisofs = SortWeightFormat::MkisofsSort;
constexpr auto kXorriso = SortWeightFormat::XorrisoWeights;

} // namespace

TEST(SortWeights, FirstNameWeighsMostAndPathsAreWhatEachToolMatches) {
    struct Case {
        const char* what;
        SortWeightFormat format;
        const char* prefix;
        std::vector<std::string> names;
        std::string lines;
    };
    const Case cases[] = {
        {"mkisofs, no prefix: paths from the tree's folder",
         kMkisofs,
         "",
         {"BOOT.BIN", "DATA\\MAIN.ELF", "a b"},
         "./BOOT.BIN 3\n./DATA/MAIN.ELF 2\n./a b 1\n"},
        {"mkisofs, prefix with and without its slash", kMkisofs, "tree/", {"x"}, "tree/x 1\n"},
        {"mkisofs, prefix of the root", kMkisofs, "/", {"x"}, "/x 1\n"},
        {"mkisofs escapes shell patterns, in the prefix too",
         kMkisofs,
         "d[1]",
         {"x*y", "q?[1]"},
         "d\\[1]/x\\*y 2\nd\\[1]/q\\?\\[1] 1\n"},
        {"mkisofs keeps blanks at either end and bytes above 0x7F",
         kMkisofs,
         "t",
         {" lead", "trail ", "\xc3\xa9\xe9", "tab\tx"},
         "t/ lead 4\nt/trail  3\nt/\xc3\xa9\xe9 2\nt/tab\tx 1\n"},
        {"xorriso, paths from the image's root",
         kXorriso,
         "",
         {"BOOT.BIN", "\\DATA\\MAIN.ELF", "/a b ", "x*y"},
         "4 /BOOT.BIN\n3 /DATA/MAIN.ELF\n2 /a b \n1 /x*y\n"},
        {"xorriso with a folder of the image", kXorriso, "/disc//", {" lead"}, "1 /disc/ lead\n"},
        {"carriage returns stay bytes of the name", kXorriso, "", {"a\rb"}, "1 /a\rb\n"},
        {"xorriso, consecutive backslashes each a slash",
         kXorriso,
         "",
         {"A\\\\B", "\\\\C\\\\\\D"},
         "2 /A//B\n1 /C///D\n"},
        {"mkisofs, consecutive backslashes each a slash", kMkisofs, "", {"A\\\\B*"}, "./A//B\\* 1\n"},
        {"xorriso, a prefix starting with a backslash", kXorriso, "\\disc\\", {"x"}, "1 /disc/x\n"},
        {"mkisofs, a prefix starting with a backslash", kMkisofs, "\\\\tree", {"x"}, "//tree/x 1\n"},
        {"no names", kXorriso, "", {}, ""},
    };
    for (const Case& c : cases) {
        const Result result = Export(c.format, c.prefix, c.names);
        EXPECT_EQ(result.refusal, std::nullopt) << c.what;
        EXPECT_EQ(result.text, "kept\n" + c.lines) << c.what;
    }
}

TEST(SortWeights, NamesTheFirstNameNoLineCanCarryAndWritesNothing) {
    struct Case {
        std::vector<std::string> names;
        long long line; // the refused name's 1-based place in the list
        const char* reasonPart;
    };
    const Case cases[] = {
        {{"ok", "two\nlines", "also\nbad"}, 2, "line feed"},
        {{"nul\0byte"s}, 1, "NUL"},
        {{"ok", "\\/\\"}, 2, "names no file"},
    };
    for (const SortWeightFormat format : {kMkisofs, kXorriso}) {
        for (const Case& c : cases) {
            const Result result = Export(format, "", c.names);
            ASSERT_TRUE(result.refusal.has_value()) << c.names.back();
            EXPECT_EQ(result.refusal->line, c.line);
            EXPECT_NE(result.refusal->message.find(c.reasonPart), std::string::npos)
                << result.refusal->message;
            EXPECT_EQ(result.text, "kept\n");
        }
    }
}

TEST(SortWeights, RefusesALineLongerThanTheToolReadsWhole) {
    // The line's length counts the escapes and the weight: "./" NAME " 2" for mkisofs, "2 /" NAME for
    // xorriso. A name that just fits, and one a byte longer (its escape the extra byte for mkisofs).
    for (const SortWeightFormat format : {kMkisofs, kXorriso}) {
        SCOPED_TRACE(SortWeightFormatName(format));
        const std::size_t room = MaxSortWeightLine(format) - (format == kMkisofs ? 4 : 3);
        const std::string fits = std::string(room, 'n');
        const Result whole = Export(format, "", {fits, "b"});
        ASSERT_FALSE(whole.refusal.has_value()) << whole.refusal->message;
        EXPECT_EQ(whole.text.find('\n', 5) - 5, MaxSortWeightLine(format));

        const std::string over = format == kMkisofs ? std::string(room - 1, 'n') + "*" : fits + "n";
        const Result cut = Export(format, "", {"a", over});
        ASSERT_TRUE(cut.refusal.has_value());
        EXPECT_EQ(cut.refusal->line, 2);
        EXPECT_NE(cut.refusal->message.find("would split it"), std::string::npos) << cut.refusal->message;
        EXPECT_EQ(cut.text, "kept\n");
    }
}

TEST(SortWeights, FormatNames) {
    for (const SortWeightFormat format : {kMkisofs, kXorriso})
        EXPECT_EQ(SortWeightFormatNamed(SortWeightFormatName(format)), format);
    EXPECT_EQ(SortWeightFormatNamed("mkisofs"), std::nullopt);
}
