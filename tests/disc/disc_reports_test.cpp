// The readers of the field's reports: shell quoting, report_lba lines and isoinfo directory listings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "disc/isoinfo_report.h"
#include "disc/report_lba_report.h"
#include "disc/shell_word.h"

namespace {

struct WordCase {
    const char* text;
    const char* word; // nullptr: not one word
};

TEST(ShellWordTest, UndoesEachKindOfQuotingAndRefusesWhatIsNotOneWord) {
    const WordCase cases[] = {
        {"'/A/B.TXT'", "/A/B.TXT"},
        {"  '/sp ace/x'  ", "/sp ace/x"},
        {"'/it'\"'\"'s'", "/it's"},                       // xorriso's way of writing a quote inside quotes
        {"\"/d \\\"q\\\" \\\\ \\n\"", "/d \"q\" \\ \\n"}, // in double quotes only \" \\ \$ \` escape
        {"\"/\\$HOME \\`id\\` \\a\"", "/$HOME `id` \\a"},
        {"/bare\\ word\\'", "/bare word'"},
        {"'/caf\xe9|x,y'", "/caf\xe9|x,y"}, // bytes, bars and commas pass unchanged
        {"''", ""},
        {"'/open", nullptr},
        {"\"/open", nullptr},
        {"/trailing\\", nullptr},
        {"'/a' '/b'", nullptr},
        {"   ", nullptr},
    };
    for (const WordCase& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<std::string> word = UnquoteShellWord(c.text);
        if (c.word) {
            ASSERT_TRUE(word.has_value());
            EXPECT_EQ(*word, c.word);
        } else {
            EXPECT_FALSE(word.has_value());
        }
    }
}

TEST(ReportLbaTest, ReadsExtentLinesInBlockOrderPassingOverHeaderAndBlankLines) {
    const std::string report = "Report layout: xt , Startlba ,   Blocks , Filesize , ISO image path\r\n"
                               "File data lba:  0 ,       37 ,      147 ,   300000 , '/MOVIE/OPENING.PSS'\n"
                               "\n"
                               "File data lba:  0 ,       33 ,        0 ,        0 , '/a, b'\"'\"'c.txt'\n"
                               "File data lba:  0 ,       60 ,  2097151 , 4613734400 , '/huge.bin'\n"
                               "File data lba:  1 ,  2097211 ,   155649 , 4613734400 , '/huge.bin'";
    const CResult<std::vector<DiscExtent>> result = ReadReportLba(report);
    ASSERT_TRUE(result.Ok()) << result.Error().message;
    const std::vector<DiscExtent> expected = {
        {33, 0, "/a, b'c.txt"},
        {37, 300000, "/MOVIE/OPENING.PSS"},
        {60, 4294965248u, "/huge.bin"}, // a file of two extents: the report gives the file's size on both
        {2097211, 318769152, "/huge.bin"}};
    EXPECT_EQ(*result, expected);
}

struct BadLineCase {
    const char* line;
    const char* reasonPart;
};

TEST(ReportLbaTest, NamesTheFirstLineItCannotRead) {
    const BadLineCase cases[] = {
        {"xorriso : NOTE : something", "not a line"},
        {"File data lba:  0 ,  37 , 1 , '/x'", "four numbers"},
        {"File data lba:  0 , -1 , 1 , 5 , '/x'", "decimal numbers"},
        {"File data lba:  0 , 4294967296 , 1 , 5 , '/x'", "decimal numbers"},
        {"File data lba:  0 , 37 , 4194304 , 8589934592 , '/x'", "more than 2^32 - 1 bytes"},
        {"File data lba:  0 , 37 , 1 , 5 , '/x", "quoted word"},
        {"File data lba:  0 , 37 , 1 , 5 , 'x'", "starting with /"},
    };
    for (const BadLineCase& c : cases) {
        SCOPED_TRACE(c.line);
        const CResult<std::vector<DiscExtent>> result = ReadReportLba(
            std::string("Report layout: xt\nFile data lba: 0 , 1 , 1 , 1 , '/ok'\n") + c.line + "\n");
        ASSERT_FALSE(result.Ok());
        EXPECT_EQ(result.Error().line, 3);
        EXPECT_NE(result.Error().message.find(c.reasonPart), std::string::npos) << result.Error().message;
    }
}

TEST(IsoinfoReportTest, GivesFilesTheirFolderAndPlainNamesWithoutVersion) {
    const std::string report =
        "\n"
        "Directory listing of /\n"
        "d---------   0    0    0            2048 Dec  7 2026 [     28 02]  . \n"
        "d---------   0    0    0            2048 Dec  7 2026 [     28 02]  .. \n"
        "d---------   0    0    0            2048 Dec  7 2026 [     29 02]  MOVIE \n"
        "----------   0    0    0               0 Dec  7 2026 [     38 00]  EMPTY.;1 \n"
        "----------   0    0    0      4294965248 Dec  7 2026 [     40 FFFF BIG.DAT;1 \n"
        "----------   0    0    0         100000 Dec  7 2026 [2097192 00]  BIG.DAT;1 \n"
        "\n"
        "Directory listing of /MOVIE/\r\n"
        "-rw-r--r--   1 1000 1000          300000 Dec  7 2026 [     37 00]  opening;1 two  \r\n"
        "lrwxrwxrwx   1    0    0               4 Dec  7 2026 [      0 00]  link -> x \n";
    const CResult<std::vector<DiscExtent>> result = ReadIsoinfoReport(report);
    ASSERT_TRUE(result.Ok()) << result.Error().message;
    // A name with Rock Ridge attributes is taken as it stands, its own blanks and ";1" included.
    const std::vector<DiscExtent> expected = {{37, 300000, "/MOVIE/opening;1 two "},
                                              {38, 0, "/EMPTY"},
                                              {40, 4294965248u, "/BIG.DAT"},
                                              {2097192, 100000, "/BIG.DAT"}};
    EXPECT_EQ(*result, expected);
}

TEST(IsoinfoReportTest, NamesTheFirstLineItCannotRead) {
    const BadLineCase cases[] = {
        {"Directory listing of MOVIE", "must start and end with /"},
        {"----------   0    0    0   12 Dec  7 2026   37 00   NAME;1 ", "not a directory record"},
        {"----------   0    0    0   xx Dec  7 2026 [     37 00]  NAME;1 ", "not a directory record"},
        {"----------   0    0    0   12 Dec  7 2026 [     37 00] NAME;1 ", "not a directory record"},
        {"----------   0    0    0   12 Dec  7 2026 [     37 0x]  NAME;1 ", "not a directory record"},
        {"----------   0    0    0   12 Dec  7 2026 [     37 00]  ", "not a directory record"},
        {"garbage", "not a directory record"},
    };
    for (const BadLineCase& c : cases) {
        SCOPED_TRACE(c.line);
        const CResult<std::vector<DiscExtent>> result = ReadIsoinfoReport(
            std::string("Directory listing of /\n----------   0    0    0   1 Dec  7 2026 [ 37 00]  A;1 \n") +
            c.line + "\n");
        ASSERT_FALSE(result.Ok());
        EXPECT_EQ(result.Error().line, 3);
        EXPECT_NE(result.Error().message.find(c.reasonPart), std::string::npos) << result.Error().message;
    }
    const CResult<std::vector<DiscExtent>> headless =
        ReadIsoinfoReport("----------   0 0 0  1 Dec  7 2026 [ 37 00]  A;1 \n");
    ASSERT_FALSE(headless.Ok());
    EXPECT_EQ(headless.Error().line, 1);
}

} // namespace
