// Save and Filelist Save, driven through the real main window offscreen.
#include "main_dlg_fixture.h"

#include <QProgressBar>
#include <sys/resource.h>

#include <QTimer>

namespace {

std::string WithCrLf(const std::string& lfText) {
    std::string out;
    for (char c : lfText) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace

TEST_F(MainDlgTest, ListingsOfEveryLayoutSurviveLoadAndSaveByteForByte) {
    struct Case {
        const char* file;
        std::string bytes;
        int loader;
        int saver;
    };
    const std::string highBytes = "\x80\xff\xe9t\xe9 \x82\xa0 \xe6\x97\xa5\xe6\x9c\xac.BIN";
    const Case cases[] = {
        {"three.txt",
         WithCrLf("0000001A|00000800|BOOT.BIN\nFFFFFFFF|80000000|" + highBytes +
                  "\n7FFFFFFF|00000000| lead and trail \n00000000|00000001|100%s name|with|bars\n"),
         IDC_LOAD_3COL, IDC_SAVE},
        {"four.txt",
         WithCrLf("0000001A|00000800|FFFFFFFE|BOOT.BIN\n00000001|00000002|00000003|" + highBytes + "\n"),
         IDC_LOAD_4COL, IDC_SAVE},
        {"five.txt", WithCrLf("0000001A|00000800|00000010|9|BOOT.BIN\n00000001|00000002|00000003|0|X\n"),
         IDC_LOAD_5COL, IDC_SAVE},
        {"list.txt", WithCrLf("0000012 , TRACK01.BIN\n0000000 , " + highBytes + "\n0000005 , FIVE\n"),
         IDC_FILELIST_LOAD, IDC_FILELIST_SAVE},
    };
    for (const Case& c : cases) {
        WriteFile(c.file, c.bytes);
        SetFile(c.file);
        Command(IDC_SCAN);
        Command(c.loader);
        Command(c.saver);
        EXPECT_EQ(ReadFile(QStringLiteral("Sorted-") + c.file), c.bytes) << c.file;
    }
    EXPECT_EQ(m_messages.back(), QStringLiteral(" done ! =>  ") + PathOf("Sorted-list.txt"));
}

TEST_F(MainDlgTest, ExamplesScanLoadAndSaveBackUnchanged) {
    for (const char* name : {"LBA.TXT", "LBA4.TXT", "LBA5.TXT", "FILELIST.TXT"}) {
        QFile example(QStringLiteral(QUARROW_SOURCE_DIR "/examples/") + name);
        ASSERT_TRUE(example.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = example.readAll();
        WriteFile(name, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        SetFile(name);
        Command(IDC_SCAN);
        const bool fileList = Enabled(IDC_FILELIST_LOAD) && !Enabled(IDC_SAVE);
        const int loader = fileList                 ? IDC_FILELIST_LOAD
                           : Enabled(IDC_LOAD_3COL) ? IDC_LOAD_3COL
                           : Enabled(IDC_LOAD_4COL) ? IDC_LOAD_4COL
                                                    : IDC_LOAD_5COL;
        ASSERT_TRUE(Enabled(loader)) << name;
        Command(loader);
        EXPECT_GT(List().GetItemCount(), 5) << name;
        Command(fileList ? IDC_FILELIST_SAVE : IDC_SAVE);
        EXPECT_EQ(ReadFile(QStringLiteral("Sorted-") + name), std::string(bytes.constData(), bytes.size()))
            << name;
    }
}

TEST_F(MainDlgTest, SaveWritesTheTickedColumnsInTheTableOrder) {
    WriteFile("LBA.TXT", "0000001A|00000800|BOOT.BIN\r\n00000020|00001000|SYSTEM.CNF\r\n");
    Load("LBA.TXT", IDC_LOAD_3COL);
    SetBoxes("010100");
    Command(IDC_SAVE);
    EXPECT_EQ(ReadFile("Sorted-LBA.TXT"), "0000001A|BOOT.BIN\r\n00000020|SYSTEM.CNF\r\n");
    SetBoxes("100011");
    Command(IDC_SAVE);
    EXPECT_EQ(ReadFile("Sorted-LBA.TXT"), "00000000|00000000|0|\r\n00000001|00000000|0|\r\n");
    SetBoxes("000000");
    Command(IDC_SAVE);
    EXPECT_EQ(ReadFile("Sorted-LBA.TXT"), "\r\n\r\n");
}

TEST_F(MainDlgTest, LongNamesAreWrittenWhole) {
    const std::string name(400, 'N');
    WriteFile("long.txt", "0000001A|00000800|" + name + "\r\n");
    Load("long.txt", IDC_LOAD_3COL);
    SetBoxes("011100");
    Command(IDC_SAVE);
    EXPECT_EQ(ReadFile("Sorted-long.txt"), "0000001A|00000800|" + name + "\r\n");
}

TEST_F(MainDlgTest, SaveOfAnEmptyTableIsRefusedAndTouchesNoFile) {
    // Scan enables Save before any load, and a load stopped by a bad line leaves the table empty: neither
    // may replace a good sorted file with an empty one.
    WriteFile("LBA.TXT", "0000001A|00000800|A\r\nthis is junk\r\n");
    WriteFile("Sorted-LBA.TXT", "good\r\n");
    SetFile("LBA.TXT");
    Command(IDC_SCAN);
    ASSERT_TRUE(Enabled(IDC_SAVE));
    Command(IDC_SAVE);
    Command(IDC_FILELIST_SAVE);
    Command(IDC_LOAD_3COL);
    ASSERT_EQ(List().GetItemCount(), 0);
    Command(IDC_SAVE);
    Command(IDC_FILELIST_SAVE);
    EXPECT_EQ(ReadFile("Sorted-LBA.TXT"), "good\r\n");
    EXPECT_EQ(QDir(m_path).entryList(QDir::Files).size(), 2) << "no other file is made";
    const QString refusal = QStringLiteral("Nothing to save: load the listing first");
    ASSERT_EQ(m_messages.size(), 5u);
    EXPECT_EQ(m_messages[0], refusal);
    EXPECT_EQ(m_messages[1], refusal);
    EXPECT_EQ(m_messages[3], refusal);
    EXPECT_EQ(m_messages[4], refusal);
    EXPECT_EQ(Progress().GetPos(), 0);
}

TEST_F(MainDlgTest, SaveWritesEveryRowOnceAtTheEdgesOfItsBlocks) {
    // Save forms its lines in blocks of 16,384 rows, two at a time; the last round may hold one block.
    for (const int rows : {16384, 16385, 32768, 32769, 49152}) {
        SCOPED_TRACE(rows);
        std::string listing;
        char line[32];
        for (int i = 0; i < rows; ++i) {
            std::snprintf(line, sizeof line, "%08X|00000800|%d\r\n", i, i);
            listing += line;
        }
        WriteFile("LBA.TXT", listing);
        Load("LBA.TXT", IDC_LOAD_3COL);
        SetBoxes("011100");
        Command(IDC_SAVE);
        EXPECT_TRUE(ReadFile("Sorted-LBA.TXT") == listing);
    }
}

TEST_F(MainDlgTest, FileListSaveFormsNumbersFromTheStartLbaText) {
    WriteFile("LBA.TXT", "0000001A|00000800|BOOT.BIN\r\n00BC614E|00000800|X\r\n");
    Load("LBA.TXT", IDC_LOAD_3COL);
    Command(IDC_FILELIST_SAVE);
    // 0x00BC614E is 12345678: eight digits are written whole.
    EXPECT_EQ(ReadFile("Sorted-LBA.TXT"), "0000026 , BOOT.BIN\r\n12345678 , X\r\n");
}

TEST_F(MainDlgTest, SaveWritesTheRowsAsTheyStoodWhenPressed) {
    SetPumpThrottle(1, 0);
    WriteFile("LBA.TXT", "0000001A|00000800|A\r\n0000001B|00000800|B\r\n0000001C|00000800|C\r\n");
    Load("LBA.TXT", IDC_LOAD_3COL);
    SetBoxes("010100");
    bool nestedRan = false;
    // A command run while the save waits empties the table and loads another file.
    QTimer::singleShot(0, [&] {
        nestedRan = true;
        WriteFile("other.txt", "000000FF|00000800|Z\r\n");
        SetFile("other.txt");
        Command(IDC_LOAD_3COL);
        SetFile("LBA.TXT");
    });
    Command(IDC_SAVE);
    EXPECT_TRUE(nestedRan);
    EXPECT_EQ(ReadFile("Sorted-LBA.TXT"), "0000001A|A\r\n0000001B|B\r\n0000001C|C\r\n");
}

TEST_F(MainDlgTest, OutputThatCannotBeCreatedEndsTheProcess) {
    WriteFile("LBA.TXT", "0000001A|00000800|A\r\n");
    Load("LBA.TXT", IDC_LOAD_3COL);
    SetFolder(Folder() + "no-such-folder/");
    EXPECT_EXIT(
        {
            PrintMessageBoxes();
            Command(IDC_SAVE);
        },
        ::testing::ExitedWithCode(0), "\\[box\\] Code 202 - Error Opening .*/no-such-folder/Sorted-LBA.TXT");
    EXPECT_EXIT(
        {
            PrintMessageBoxes();
            Command(IDC_FILELIST_SAVE);
        },
        ::testing::ExitedWithCode(0), "\\[box\\] Code 202 - Error Opening .*/no-such-folder/Sorted-LBA.TXT");
}

TEST_F(MainDlgTest, WriteErrorIsReportedAndLeavesTheEarlierFileWhole) {
    // A large output fails inside one of its writes; a small one (8 KB) would fit a buffer in one go, and
    // fails only when the rest is written at the end.
    for (const int lines : {2000, 200}) {
        SCOPED_TRACE(lines);
        std::string listing;
        for (int i = 0; i < lines; ++i)
            listing += "0000001A|00000800|A_NAME_OF_SOME_LENGTH\r\n";
        WriteFile("LBA.TXT", listing);
        WriteFile("Sorted-LBA.TXT", "earlier\r\n");
        Load("LBA.TXT", IDC_LOAD_3COL);
        SetBoxes("011100");
        // In the ended process files may not grow beyond 1000 bytes. The application object (made by the
        // test program as by the real one) has the write fail then, instead of a signal ending the process.
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 1000;
        EXPECT_EXIT(
            {
                PrintMessageBoxes();
                setrlimit(RLIMIT_FSIZE, &limit);
                Command(IDC_SAVE);
            },
            ::testing::ExitedWithCode(0), "\\[box\\] Code 203 - Error Writing .*/Sorted-LBA.TXT");
        EXPECT_EQ(ReadFile("Sorted-LBA.TXT"), "earlier\r\n");
        EXPECT_EQ(QDir(m_path).entryList(QDir::Files).size(), 2) << "no temporary file is left";
    }
}

TEST_F(MainDlgTest, ExitDuringASaveLeavesTheEarlierFileAndNoPartialFile) {
    std::string listing;
    for (int i = 0; i < 3000; ++i)
        listing += "0000001A|00000800|NAME\r\n";
    WriteFile("LBA.TXT", listing);
    WriteFile("Sorted-LBA.TXT", "earlier\r\n");
    Load("LBA.TXT", IDC_LOAD_3COL);
    SetBoxes("011100");
    EXPECT_EXIT(
        {
            SetPumpThrottle(1, 0);
            QTimer::singleShot(0, [this] { Command(IDC_EXIT); });
            Command(IDC_SAVE);
            std::exit(5);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadFile("Sorted-LBA.TXT"), "earlier\r\n");
    EXPECT_EQ(QDir(m_path).entryList(QDir::Files).size(), 2) << "no temporary file is left";
}
