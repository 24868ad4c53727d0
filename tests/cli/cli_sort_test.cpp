// quarrow-cli sort beside the window: the same listing, loaded, clicked and saved in the real main window
// offscreen, gives the same bytes as the command; and the command's answers to input it cannot sort.
#include "main_dlg_fixture.h"
#include "table/standalone_table.h"

#include <cstdio>
#include <random>

#include "cli_process.h"
#include "listing/listing_format.h"
#include "sorting/mixed_cell_texts.h"

namespace {

// A listing of `lines` lines in the layout, CR LF ended, with names of every kind the sort meets (numbers,
// dates, words in several cases and encodings) and values from 0 to FFFFFFFF. The first line is plain, so
// Scan places the listing by it.
std::string MakeListing(ListingLayout layout, std::size_t lines, std::uint32_t seed) {
    std::vector<std::string> names = MakeMixedCellTexts(lines, seed);
    std::mt19937 random(seed);
    const std::uint32_t values[] = {0, 9, 0x1A, 0x800, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    const auto value = [&]() -> unsigned {
        return random() % 3 ? random() % 0x100000 : values[random() % 7];
    };
    std::string text;
    char fields[64];
    for (std::size_t i = 0; i < lines; ++i) {
        std::string name = i == 0 ? "FIRST.BIN" : names[i];
        if (name.empty() || name.find_first_of("\r\n") != std::string::npos)
            name = "x" + std::to_string(i);
        switch (layout) {
        case ListingLayout::ThreeColumns:
            std::snprintf(fields, sizeof fields, "%08X|%08X|", value(), value());
            break;
        case ListingLayout::FourColumns:
            std::snprintf(fields, sizeof fields, "%08X|%08X|%08X|", value(), value(), value());
            break;
        case ListingLayout::FiveColumns:
            std::snprintf(fields, sizeof fields, "%08X|%08X|%08X|%X|", value(), value(), value(),
                          value() % 16);
            break;
        case ListingLayout::FileList:
            std::snprintf(fields, sizeof fields, "%07u , ", value() % 10000000);
            break;
        }
        text += fields + name + "\r\n";
    }
    return text;
}

} // namespace

TEST_F(MainDlgTest, CliSortWritesWhatTheWindowSavesAfterTheSameClicks) {
    struct Case {
        const char* what;
        ListingLayout layout;
        int loader;
        const char* by;
        int column;
        bool descending;
        const char* columns; // --columns, and the boxes ticked in the window; null for Scan's boxes
        const char* boxes;
    };
    const Case cases[] = {
        {"three columns by name", ListingLayout::ThreeColumns, IDC_LOAD_3COL, "FileName", 3, false, nullptr,
         nullptr},
        {"three columns by name, descending", ListingLayout::ThreeColumns, IDC_LOAD_3COL, "filename", 3, true,
         nullptr, nullptr},
        {"four columns by block, descending", ListingLayout::FourColumns, IDC_LOAD_4COL, "StartLba", 1, true,
         nullptr, nullptr},
        {"five columns by the digit, chosen columns", ListingLayout::FiveColumns, IDC_LOAD_5COL, "Column6", 5,
         false, "Number,Column6,FileName", "100101"},
        {"five columns by size (sizes from 80000000 up are numbers)", ListingLayout::FiveColumns,
         IDC_LOAD_5COL, "FileSize", 2, true, nullptr, nullptr},
        {"three columns by an empty column, every box", ListingLayout::ThreeColumns, IDC_LOAD_3COL, "LbaPos",
         4, false, "number,startlba,filesize,filename,lbapos,column6", "111111"},
        {"file list by name, as Filelist Save writes it", ListingLayout::FileList, IDC_FILELIST_LOAD,
         "FileName", 3, true, nullptr, nullptr},
        {"file list by block, written as a listing", ListingLayout::FileList, IDC_FILELIST_LOAD, "StartLba",
         1, false, "StartLba,FileName", "010100"},
    };
    std::uint32_t seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A fresh window each time: the header remembers its last sort, and a click on the same column
        // would reverse it.
        m_dlg->DestroyWindow();
        m_dlg = std::make_unique<CMainDlg>();
        ASSERT_TRUE(m_dlg->CreateModeless());
        SetFolder(Folder());
        const QString name = QStringLiteral("LIST%1.TXT").arg(seed);
        WriteFile(name, MakeListing(c.layout, 400, seed++));
        SetFile(name);
        Command(IDC_SCAN);
        Command(c.loader);
        if (c.boxes)
            SetBoxes(c.boxes);
        ClickHeader(HeaderOf(List()), c.column);
        if (c.descending)
            ClickHeader(HeaderOf(List()), c.column);
        const bool fileList = c.layout == ListingLayout::FileList && !c.columns;
        fileList ? Command(IDC_FILELIST_SAVE) : Command(IDC_SAVE);
        const std::string saved = ReadFile(QStringLiteral("Sorted-") + name);
        ASSERT_EQ(List().GetItemCount(), 400);
        ASSERT_TRUE(QFile::remove(PathOf(QStringLiteral("Sorted-") + name)));

        QStringList args{QStringLiteral("sort"), PathOf(name), QStringLiteral("--by"), QLatin1String(c.by)};
        if (c.descending)
            args << QStringLiteral("--descending");
        if (c.columns)
            args << QStringLiteral("--columns") << QLatin1String(c.columns);
        const ProcessResult result = RunCli(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(ReadFile(QStringLiteral("Sorted-") + name) == saved) << "the command's file differs";

        // The same through stdin and stdout.
        const ProcessResult piped =
            RunCli(args.mid(0, 1) + QStringList{QStringLiteral("-")} + args.mid(2), {}, ReadFile(name));
        EXPECT_EQ(piped.status, 0) << piped.err;
        EXPECT_TRUE(piped.out == saved) << "stdout differs";
    }
}

TEST_F(MainDlgTest, CliAnswersWhatItCannotSortWithStatus2AndAReason) {
    WriteFile("EMPTY.TXT", "");
    WriteFile("ODD.TXT", "no bars here\r\n");
    WriteFile("LBA.TXT", "0000001A|00000800|BOOT.BIN\r\n");
    WriteFile("JUNK.TXT", "0000001A|00000800|BOOT.BIN\r\n\r\nthis is junk\r\n0000001B|00000800|B\r\n");
    WriteFile(
        "NONAME.TXT",
        "0000001A|00000800|00000000|A\r\n0000001A|00000800|00000000|\r\n0000001A|00000800|00000000|B\r\n");
    WriteFile("BADLIST.TXT", "0000012 , X\r\n-000005 , Y\r\n");
    WriteFile("BLANKFIRST.TXT", "\r\n\n0000001A|00000800|B\r\n\r\n0000001B|00000800|A\r\n");
    WriteFile("BLANKS.TXT", "\r\n\r\n");
    struct Case {
        QStringList args;
        int status;
        const char* stderrPart;
        const char* stdoutPart;
    };
    const Case cases[] = {
        {{"sort", PathOf("MISSING.TXT"), "--by", "FileName"}, 2, "MISSING.TXT: No such file", ""},
        {{"sort", PathOf("EMPTY.TXT"), "--by", "FileName"}, 2, "EMPTY.TXT: the file is empty", ""},
        {{"sort", PathOf("ODD.TXT"), "--by", "FileName"}, 2, "ODD.TXT:1: the first line", ""},
        {{"sort", PathOf("LBA.TXT"), "--by", "Size"}, 2, "unknown column 'Size'", ""},
        {{"sort", PathOf("LBA.TXT")}, 2, "--by COLUMN is required", ""},
        {{"sort", PathOf("LBA.TXT"), "--by", "FileName", "--layout", "6"}, 2, "unknown layout '6'", ""},
        {{"sort", PathOf("LBA.TXT"), "--by", "FileName", "-o", PathOf("NO/SUCH/DIR")}, 2, "NO/SUCH/DIR", ""},
        {{"sort", "--by"}, 2, "sort: Missing value after '--by'", ""},
        {{"export", PathOf("LBA.TXT"), "--to", "iso"}, 2, "unknown format 'iso'", ""},
        {{"check", PathOf("LBA.TXT"), "--block-size", "0"}, 2, "--block-size must be", ""},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'", ""},
        {{}, 2, "Usage: quarrow-cli COMMAND", ""},
        {{"--version"}, 0, "", "quarrow-cli " QUARROW_VERSION "\n"},
        {{"sort", "--help"}, 0, "", "Usage: quarrow-cli sort [options] listing"},
        {{"sort", PathOf("LBA.TXT"), "--by", "FileName", "--layout", "filelist", "-o", "-"},
         2,
         "LBA.TXT:1: not a file list line: 0000001A|00000800|BOOT.BIN",
         ""},
        {{"sort", PathOf("JUNK.TXT"), "--by", "FileName"},
         2,
         "JUNK.TXT:3: not a 3-column listing line: this is junk",
         ""},
        {{"export", PathOf("JUNK.TXT"), "--to", "mkisofs-sort", "-o", PathOf("OUT.TXT")},
         2,
         "JUNK.TXT:3: not a 3-col",
         ""},
        {{"check", PathOf("JUNK.TXT")}, 2, "JUNK.TXT:3: not a 3-column listing line: this is junk", ""},
        {{"sort", PathOf("NONAME.TXT"), "--by", "FileName", "-o", PathOf("OUT.TXT")},
         2,
         "NONAME.TXT:2: not a 4-column listing line: 0000001A|00000800|00000000|\n",
         ""},
        {{"sort", PathOf("BADLIST.TXT"), "--by", "FileName"},
         2,
         "BADLIST.TXT:2: not a file list line: -000005 , Y",
         ""},
        {{"sort", PathOf("BLANKFIRST.TXT"), "--by", "FileName", "-o", "-"},
         0,
         "",
         "0000001B|00000800|A\r\n0000001A|00000800|B\r\n"},
        {{"sort", PathOf("BLANKS.TXT"), "--by", "FileName"},
         2,
         "BLANKS.TXT: the file holds only blank lines",
         ""},
    };
    for (const Case& c : cases) {
        const ProcessResult result = RunCli(c.args);
        EXPECT_EQ(result.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_NE(result.err.find(c.stderrPart), std::string::npos) << result.err;
        EXPECT_NE(result.out.find(c.stdoutPart), std::string::npos) << result.out;
    }
    for (const char* never : {"Sorted-EMPTY.TXT", "Sorted-JUNK.TXT", "Sorted-BADLIST.TXT", "OUT.TXT"})
        EXPECT_EQ(ReadFile(never), "<missing>") << never;
}

TEST_F(MainDlgTest, CliSortsValuesFrom80000000UpAsTheLargestNumbers) {
    WriteFile("SIZES.TXT", "00000001|00000010|a\r\n00000002|80000001|b\r\n00000003|00000005|c\r\n"
                           "00000004|00001000|d\r\n00000005|80000002|e\r\n00000006|FFFFFFFF|f\r\n"
                           "00000007|00000100|g\r\n00000008|FFFFFFFE|h\r\n");
    const auto namesOf = [](const std::string& out) {
        std::string names;
        for (std::size_t at = 0; at < out.size(); at = out.find('\n', at) + 1)
            names += out[at + 18];
        return names;
    };
    const ProcessResult down =
        RunCli({"sort", PathOf("SIZES.TXT"), "--by", "FileSize", "--descending", "-o", "-"});
    EXPECT_EQ(down.status, 0) << down.err;
    EXPECT_EQ(namesOf(down.out), "fheb"
                                 "dgac");
    EXPECT_NE(down.out.find("00000006|FFFFFFFF|f\r\n"), std::string::npos) << "written back as read";
    const ProcessResult up = RunCli({"sort", PathOf("SIZES.TXT"), "--by", "FileSize", "-o", "-"});
    EXPECT_EQ(namesOf(up.out), "cagd"
                               "behf");
    // The window agrees, and shows the sizes as unsigned numbers.
    SetFile("SIZES.TXT");
    Command(IDC_SCAN);
    Load("SIZES.TXT", IDC_LOAD_3COL);
    EXPECT_EQ(RowText(5), "0005|6|4294967295|f||");
    ClickHeader(HeaderOf(List()), 2);
    ClickHeader(HeaderOf(List()), 2);
    Command(IDC_SAVE);
    EXPECT_TRUE(ReadFile("Sorted-SIZES.TXT") == down.out);
}

TEST_F(MainDlgTest, CliReadsALargeListingAsTheWindowDoes) {
    // Over a megabyte, read by the command in two halves: blank lines are skipped in either half, and a
    // bad line in either half, or a line without a name that ends the first half's data but not the
    // file's, is refused with its number, by the window as by the command.
    const std::string plain = MakeListing(ListingLayout::ThreeColumns, 60000, 99);
    ASSERT_GT(plain.size(), std::size_t{1} << 20);
    const auto lineStart = [&plain](std::size_t line) {
        std::size_t at = 0;
        for (std::size_t i = 0; i < line; ++i)
            at = plain.find('\n', at) + 1;
        return at;
    };
    const std::string noName = "0000001A|00000800|\r\n";
    const auto with = [&](std::size_t line, const std::string& text) {
        return std::string(plain).insert(lineStart(line), text);
    };
    // A line without a name followed by blank lines past the middle: the split falls among them.
    const std::size_t middleLine =
        static_cast<std::size_t>(std::count(plain.begin(), plain.begin() + plain.size() / 2, '\n'));
    std::string blanks;
    for (int i = 0; i < 60; ++i)
        blanks += "\r\n";
    struct Case {
        const char* what;
        std::string listing;
        long long badLine; // 0: loads whole
    };
    const Case cases[] = {
        {"plain", plain, 0},
        {"blank lines in both halves", with(50000, "\r\n\r\n").insert(lineStart(5000), "\n"), 0},
        {"no name at the end", plain + noName + "\r\n\r\n", 0},
        {"no name in the first half", with(5000, noName), 5001},
        {"no name in the second half", with(50000, noName), 50001},
        {"no name ending the first half", with(middleLine, noName + blanks),
         static_cast<long long>(middleLine) + 1},
        {"a bar missing in the second half", with(40000, "0000001A#00000800|N\r\n"), 40001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile("BIG.TXT", c.listing);
        QFile::remove(PathOf("Sorted-BIG.TXT"));
        SetFile("BIG.TXT");
        Command(IDC_SCAN);
        m_messages.clear();
        Load("BIG.TXT", IDC_LOAD_3COL);
        const ProcessResult result = RunCli({"sort", PathOf("BIG.TXT"), "--by", "Number", "-o", "-"});
        if (c.badLine == 0) {
            EXPECT_EQ(List().GetItemCount(), 60000);
            Command(IDC_SAVE);
            EXPECT_EQ(result.status, 0) << result.err;
            EXPECT_TRUE(result.out == ReadFile("Sorted-BIG.TXT"));
            continue;
        }
        const std::string number = std::to_string(c.badLine);
        EXPECT_EQ(List().GetItemCount(), 0);
        ASSERT_EQ(m_messages.size(), 1u);
        EXPECT_TRUE(
            m_messages[0].startsWith(QStringLiteral("Invalid file text format\nLine %1: ").arg(c.badLine)))
            << m_messages[0].toStdString();
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("BIG.TXT:" + number + ": not a 3-column listing line"), std::string::npos)
            << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}
