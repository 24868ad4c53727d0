// Scan and the loaders, driven through the real main window offscreen.
#include "main_dlg_fixture.h"

#include <cerrno>
#include <functional>
#include <utility>

#include <sys/stat.h>

#include <QProgressBar>
#include <QTimer>

namespace {

const std::string kThreeColumns = "0000001A|00000800|BOOT.BIN\r\n"
                                  "00000020|00001000|SYSTEM.CNF\r\n"
                                  "00000030|FFFFFFFF|DATA\\MOVIE.PSS\r\n"
                                  "80000000|00000001|  spaced name  \r\n"
                                  "0000ABCD|0000abcd|LAST.BIN\r\n";

struct ScanCase {
    const char* name;
    std::string firstLine;
    std::string buttons; // 1006 1010 1011 1015 1016 1019
    std::string boxes;   // Number StartLba FileSize FileName LbaPos Column6
    bool invalid;
};

class ScanTest : public MainDlgTest, public ::testing::WithParamInterface<ScanCase> {};

} // namespace

TEST_P(ScanTest, EnablesTheFittingLoaderAndPresetsTheBoxes) {
    const ScanCase& c = GetParam();
    WriteFile("scan.txt", c.firstLine + "\r\nsecond|line|,,,,|||\r\n");
    SetFile("scan.txt");
    Command(IDC_SCAN);
    EXPECT_EQ(ButtonStates(), c.buttons);
    EXPECT_EQ(BoxStates(), c.boxes);
    if (c.invalid)
        EXPECT_EQ(m_messages, std::vector<QString>{QStringLiteral("Invalid file text format")});
    else
        EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(List().GetItemCount(), 0) << "Scan does not touch the table";
}

INSTANTIATE_TEST_SUITE_P(
    FirstLines, ScanTest,
    ::testing::Values(ScanCase{"three", "0000001A|00000800|BOOT.BIN", "100001", "011100", false},
                      ScanCase{"four", "0000001A|00000800|00000010|BOOT.BIN", "010001", "011110", false},
                      ScanCase{"five", "0000001A|00000800|00000010|c|BOOT.BIN", "001001", "011111", false},
                      ScanCase{"filelist", "0000012 , X", "000110", "010100", false},
                      ScanCase{"commaInName", "0000001A|00000800|A,B.TXT", "010111", "011110", false},
                      ScanCase{"oneBar", "0000001A|BOOT.BIN", "000000", "000000", false},
                      ScanCase{"noSeparator", "BOOT.BIN", "000000", "000000", true},
                      ScanCase{"fiveBars", "1|2|3|4|5|6", "000000", "000000", true}),
    [](const ::testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

TEST_F(MainDlgTest, ScanReadsOnlyTheFirstLineWhateverItsEnd) {
    // A bare line feed ends the first line as well as CR LF; a file without any line end is one line.
    WriteFile("lf.txt", "0000001A|00000800|BOOT.BIN\n0000001A|00000800|00000000|0|X\n");
    SetFile("lf.txt");
    Command(IDC_SCAN);
    EXPECT_EQ(ButtonStates(), "100001");
    WriteFile("noend.txt", "0000001A|00000800|00000010|BOOT.BIN");
    SetFile("noend.txt");
    Command(IDC_SCAN);
    EXPECT_EQ(ButtonStates(), "010001");
}

TEST_F(MainDlgTest, ScanOfMissingOrEmptyFileEndsTheProcess) {
    SetFile("missing.txt");
    EXPECT_EXIT(
        {
            PrintMessageBoxes();
            Command(IDC_SCAN);
        },
        ::testing::ExitedWithCode(0), "\\[box\\] Code 402 - Error Opening .*/missing.txt");
    WriteFile("empty.txt", "");
    SetFile("empty.txt");
    EXPECT_EXIT(
        {
            PrintMessageBoxes();
            Command(IDC_SCAN);
        },
        ::testing::ExitedWithCode(0), "\\[box\\] Code 402a - Error Opening .*/empty.txt");
}

TEST_F(MainDlgTest, LoadThreeColumnsFillsTheTableInFileOrder) {
    WriteFile("LBA.TXT", kThreeColumns);
    auto* bar = qobject_cast<QProgressBar*>(Progress().GetSafeWidget());
    int maximumSeen = -1;
    SetMessageBoxHandler([&](const MessageBoxRequest& request) {
        m_messages.push_back(request.text);
        maximumSeen = bar->maximum();
        EXPECT_EQ(bar->value(), 4) << "the bar stands at the last row while the box is up";
        return IDOK;
    });
    Load("LBA.TXT", IDC_LOAD_3COL);
    ASSERT_EQ(List().GetItemCount(), 5);
    EXPECT_EQ(RowText(0), "0000|26|2048|BOOT.BIN||");
    EXPECT_EQ(RowText(2), "0002|48|4294967295|DATA\\MOVIE.PSS||");
    EXPECT_EQ(RowText(3), "0003|2147483648|1|  spaced name  ||");
    EXPECT_EQ(RowText(4), "0004|43981|43981|LAST.BIN||");
    EXPECT_EQ(maximumSeen, 5) << "10 bars give 5 lines";
    EXPECT_EQ(bar->value(), 0) << "reset once the box is dismissed";
    EXPECT_EQ(m_messages, std::vector<QString>{QStringLiteral(" done ! =>  ") + PathOf("LBA.TXT")});
}

TEST_F(MainDlgTest, LoadFourAndFiveColumnsAndFileList) {
    WriteFile("four.txt", "0000001A|00000800|00000010|BOOT.BIN\r\n00000001|00000002|FFFFFFFF|B\r\n");
    Load("four.txt", IDC_LOAD_4COL);
    ASSERT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(RowText(0), "0000|26|2048|BOOT.BIN|16|");
    EXPECT_EQ(RowText(1), "0001|1|2|B|4294967295|");

    WriteFile("five.txt", "0000001A|00000800|00000010|c|BOOT.BIN\r\n00000001|00000002|00000003|9|B\r\n");
    Load("five.txt", IDC_LOAD_5COL);
    ASSERT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(RowText(0), "0000|26|2048|BOOT.BIN|16|12");
    EXPECT_EQ(RowText(1), "0001|1|2|B|3|9");

    WriteFile("list.txt", "0000012 , TRACK01.BIN\r\n0000005 , FIVE\r\n");
    Load("list.txt", IDC_FILELIST_LOAD);
    ASSERT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(RowText(0), "0000|12||TRACK01.BIN||");
    EXPECT_EQ(RowText(1), "0001|5||FIVE||");
    EXPECT_EQ(m_messages.size(), 3u);
}

TEST_F(MainDlgTest, BlankLinesAreSkippedAndALastLineWithoutNameEndsTheData) {
    WriteFile("blank.txt",
              "\r\n0000001A|00000800|A\r\n\r\n\n\r\n0000001B|00000800|B\r\n0000001C|00000800|\r\n\r\n");
    Load("blank.txt", IDC_LOAD_3COL);
    ASSERT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(RowText(0), "0000|26|2048|A||");
    EXPECT_EQ(RowText(1), "0001|27|2048|B||") << "Number counts the rows, not the lines";
    EXPECT_EQ(m_messages, std::vector<QString>{QStringLiteral(" done ! =>  ") + PathOf("blank.txt")});
}

TEST_F(MainDlgTest, ALineThatDoesNotFitStopsTheLoadAndLeavesTheTableEmpty) {
    const std::string a = "0000001A|00000800|A\r\n";
    const std::string junk(100, 'j');
    struct Case {
        std::string content;
        int loader;
        QString second; // the second line of the box
    };
    const Case cases[] = {
        {a + "\r\nthis is junk\r\n" + a, IDC_LOAD_3COL, "Line 3: this is junk"},
        {"0000001B|ZZZZ|B.BIN\r\n" + a, IDC_LOAD_3COL, "Line 1: 0000001B|ZZZZ|B.BIN"},
        {a + "0000001C|00000800|\r\n" + a, IDC_LOAD_3COL, "Line 2: 0000001C|00000800|"},
        {a + "0000001A 00000800 BOOT.BIN\r\n", IDC_LOAD_3COL, "Line 2: 0000001A 00000800 BOOT.BIN"},
        {a + a + junk + "\r\n", IDC_LOAD_4COL, "Line 1: 0000001A|00000800|A"},
        {a + a + junk + "\r\n", IDC_LOAD_3COL, QStringLiteral("Line 3: ") + QString(80, QLatin1Char('j'))},
        {"0000012 , X\r\n12 , Y\r\n", IDC_FILELIST_LOAD, "Line 2: 12 , Y"},
        {"0000001A|00000800|00000010|g|N\r\n", IDC_LOAD_5COL, "Line 1: 0000001A|00000800|00000010|g|N"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.second.toStdString());
        m_messages.clear();
        WriteFile("bad.txt", c.content);
        Load("bad.txt", c.loader);
        EXPECT_EQ(List().GetItemCount(), 0);
        EXPECT_EQ(Progress().GetPos(), 0);
        EXPECT_EQ(m_messages, std::vector<QString>{QStringLiteral("Invalid file text format\n") + c.second});
    }
}

TEST_F(MainDlgTest, LoadStopsAtTheEndOfTheFileWhateverTheCountPromised) {
    // Bars inside names promise more lines than the file holds; bare line feeds are fine too.
    WriteFile("bars.txt", "0000001A|00000800|A|B|C|D\n0000001B|00000800|E|F|G|H\n");
    Load("bars.txt", IDC_LOAD_3COL);
    ASSERT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(RowText(1), "0001|27|2048|E|F|G|H||");
}

TEST_F(MainDlgTest, LoadOfMissingFileEmptiesTheTableAndEndsTheProcess) {
    WriteFile("LBA.TXT", kThreeColumns);
    Load("LBA.TXT", IDC_LOAD_3COL);
    ASSERT_EQ(List().GetItemCount(), 5);
    SetFile("missing.txt");
    EXPECT_EXIT(
        {
            PrintMessageBoxes();
            SetMessageBoxHandler([this](const MessageBoxRequest& request) {
                std::fprintf(stderr, "[box] %s rows=%d\n", request.text.toLocal8Bit().constData(),
                             List().GetItemCount());
                return IDOK;
            });
            Command(IDC_LOAD_3COL);
        },
        ::testing::ExitedWithCode(0), "\\[box\\] Code 101 - Error Opening .*/missing.txt rows=0");
    EXPECT_EXIT(
        {
            PrintMessageBoxes();
            Command(IDC_LOAD_5COL);
        },
        ::testing::ExitedWithCode(0), "\\[box\\] Code 2201 - Error Opening .*/missing.txt");
    EXPECT_EXIT(
        {
            PrintMessageBoxes();
            Command(IDC_FILELIST_LOAD);
        },
        ::testing::ExitedWithCode(0), "\\[box\\] Code 101 - Error Opening .*/missing.txt");
}

TEST_F(MainDlgTest, FilesThatAreNotRegularAreRefusedAsOpenFailures) {
    // Reading a FIFO waits for a writer, a device may never end: both count as files that cannot be opened.
    const QString fifo = PathOf("fifo.txt");
    // The copy of the test that a death test runs finds the FIFO already made.
    ASSERT_TRUE(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 || errno == EEXIST);
    struct Case {
        QString folder;
        QString file;
        int command;
        const char* message;
    };
    const Case cases[] = {
        {Folder(), "fifo.txt", IDC_SCAN, "Code 402 - Error Opening .*/fifo.txt"},
        {Folder(), "fifo.txt", IDC_LOAD_3COL, "Code 101 - Error Opening .*/fifo.txt"},
        {"/dev/", "zero", IDC_SCAN, "Code 402 - Error Opening /dev/zero"},
        {"/dev/", "zero", IDC_LOAD_4COL, "Code 2201 - Error Opening /dev/zero"},
        {"/dev/", "zero", IDC_FILELIST_LOAD, "Code 101 - Error Opening /dev/zero"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SetFolder(c.folder);
        SetFile(c.file);
        EXPECT_EXIT(
            {
                PrintMessageBoxes();
                Command(c.command);
            },
            ::testing::ExitedWithCode(0), std::string("\\[box\\] ") + c.message);
    }
}

TEST_F(MainDlgTest, ReadErrorsEndTheProcessWithTheirOwnMessage) {
    // Every read of this process's memory file fails.
    SetFolder("/proc/self/");
    SetFile("mem");
    const std::pair<int, const char*> cases[] = {
        {IDC_LOAD_3COL, "Code 103 - Error Reading /proc/self/mem"},
        {IDC_LOAD_4COL, "Code 2203 - Error Reading /proc/self/mem"},
        {IDC_LOAD_5COL, "Code 2203 - Error Reading /proc/self/mem"},
        {IDC_FILELIST_LOAD, "Code 103 - Error Reading /proc/self/mem"},
    };
    for (const auto& [command, message] : cases) {
        SCOPED_TRACE(message);
        EXPECT_EXIT(
            {
                PrintMessageBoxes();
                Command(command);
            },
            ::testing::ExitedWithCode(0), std::string("\\[box\\] ") + message);
    }
}

TEST_F(MainDlgTest, ProgressRangeIsNotCutTo16Bits) {
    std::string listing;
    for (int i = 0; i < 70000; ++i)
        listing += "00000001|00000002|N\n";
    WriteFile("big.txt", listing);
    auto* bar = qobject_cast<QProgressBar*>(Progress().GetSafeWidget());
    int maximumSeen = -1;
    SetMessageBoxHandler([&](const MessageBoxRequest&) {
        maximumSeen = bar->maximum();
        return IDOK;
    });
    Load("big.txt", IDC_LOAD_3COL);
    EXPECT_EQ(List().GetItemCount(), 70000);
    EXPECT_EQ(maximumSeen, 70000);
}

TEST_F(MainDlgTest, CommandsRunInsideALoadAndANewerLoadTakesTheTableOver) {
    SetPumpThrottle(1, 0);
    WriteFile("first.txt", kThreeColumns);
    WriteFile("second.txt", "0000FFFF|00000001|ONLY\r\n");
    bool nestedRan = false;
    // While the first load waits for events, a click loads the second file.
    QTimer::singleShot(0, [&] {
        nestedRan = true;
        SetFile("second.txt");
        Command(IDC_LOAD_3COL);
    });
    Load("first.txt", IDC_LOAD_3COL);
    EXPECT_TRUE(nestedRan);
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(RowText(0), "0000|65535|1|ONLY||");
    EXPECT_EQ(m_messages, std::vector<QString>{QStringLiteral(" done ! =>  ") + PathOf("second.txt")})
        << "the interrupted load shows nothing";

    // A load whose table is emptied under it (as Browse does) stops with an empty bar.
    std::function<void()> emptyTheTableLater = [&] {
        if (Progress().GetPos() < 2)
            return QTimer::singleShot(0, emptyTheTableLater);
        List().DeleteAllRows();
    };
    QTimer::singleShot(0, emptyTheTableLater);
    Load("first.txt", IDC_LOAD_3COL);
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(Progress().GetPos(), 0);
}

TEST_F(MainDlgTest, FileListLoadDoesNotPump) {
    SetPumpThrottle(1, 0);
    WriteFile("list.txt", "0000012 , A\r\n0000013 , B\r\n");
    bool ran = false;
    // A timer of this test's own, so that a later dispatch cannot run it once `ran` is gone.
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] { ran = true; });
    timer.start(0);
    Load("list.txt", IDC_FILELIST_LOAD);
    EXPECT_FALSE(ran);
    EXPECT_EQ(List().GetItemCount(), 2);
}

TEST_F(MainDlgTest, MalformedFilesGiveDefinedResults) {
    static constexpr char kNulLine[] = "00000000|00000000|\0NUL\0NAME\0\r\n";
    std::string binary;
    for (int i = 0; i < 5000; ++i)
        binary += static_cast<char>((i * 7919 + 13) & 0xFF);
    const std::string files[] = {
        binary,
        std::string(300000, 'x') + "|" + std::string(10, '|'),
        std::string(kNulLine, sizeof kNulLine - 1),
        "ZZZZZZZZ|YYYYYYYY|QQQQQQQQ|W|name\r\n",
        "1|2\r3|4\r5|6\r\r\r",
        "|||||||||||||||||||||||||||||||||||||||||||||||||||",
        ",,,,,,,,,,,\n,,,,\n\n\n",
        "\n\n\n\n||||",
    };
    const int loaders[] = {IDC_LOAD_3COL, IDC_LOAD_4COL, IDC_LOAD_5COL, IDC_FILELIST_LOAD};
    int n = 0;
    for (const std::string& bytes : files) {
        const QString name = QStringLiteral("bad%1.txt").arg(n++);
        WriteFile(name, bytes);
        SetFile(name);
        Command(IDC_SCAN);
        for (auto loader : loaders) {
            m_messages.clear();
            Load(name, loader);
            EXPECT_EQ(m_messages.size(), 1u) << name.toStdString();
            EXPECT_LE(List().GetItemCount(), static_cast<int>(bytes.size()) + 1);
        }
    }
    // The NUL bytes of a name are kept.
    Load("bad2.txt", IDC_LOAD_3COL);
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(List().GetItemText(0, 3), std::string("\0NUL\0NAME\0", 10));
}
