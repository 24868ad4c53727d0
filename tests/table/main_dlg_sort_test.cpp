// Sorting in the real main window: header clicks on a loaded listing, Save writing the sorted order, and
// a click that arrives while a load waits between lines.
#include "main_dlg_fixture.h"
#include "standalone_table.h"

#include <QTimer>

#include <algorithm>

#include "app/message_pump.h"

namespace {

constexpr int kStartLba = 1;
constexpr int kFileName = 3;

TEST_F(MainDlgTest, SaveWritesTheOrderOfTheLastHeaderClick) {
    WriteFile("LBA.TXT", "00000020|00001000|SYSTEM.CNF\r\n"
                         "0000001A|00000800|boot.bin\r\n"
                         "00000100|00000010|Apple.TXT\r\n"
                         "00000009|00000001|apple.txt\r\n");
    SetFile("LBA.TXT");
    Command(IDC_SCAN);
    Command(IDC_LOAD_3COL);
    QHeaderView* header = HeaderOf(List());
    ASSERT_NE(header, nullptr);

    ClickHeader(header, kFileName);
    Command(IDC_SAVE);
    EXPECT_EQ(ReadFile("Sorted-LBA.TXT"), "00000009|00000001|apple.txt\r\n"
                                          "00000100|00000010|Apple.TXT\r\n"
                                          "0000001A|00000800|boot.bin\r\n"
                                          "00000020|00001000|SYSTEM.CNF\r\n");

    // Block addresses as numbers: 256, 32, 26, 9 descending.
    ClickHeader(header, kStartLba);
    ClickHeader(header, kStartLba);
    Command(IDC_SAVE);
    EXPECT_EQ(ReadFile("Sorted-LBA.TXT"), "00000100|00000010|Apple.TXT\r\n"
                                          "00000020|00001000|SYSTEM.CNF\r\n"
                                          "0000001A|00000800|boot.bin\r\n"
                                          "00000009|00000001|apple.txt\r\n");
}

TEST_F(MainDlgTest, ClickDuringALoadSortsTheRowsSoFarAndTheRestFollow) {
    std::string listing;
    const int nLines = 400;
    for (int i = 0; i < nLines; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%08X|00000800|N%03d\r\n", (i * 37) % 1000, i);
        listing += line;
    }
    WriteFile("LBA.TXT", listing);
    SetFile("LBA.TXT");
    Command(IDC_SCAN);
    SetPumpThrottle(1, 0);
    // The click comes once a hundred rows are in the table.
    int nRowsAtClick = -1;
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (List().GetItemCount() < 100)
            return;
        clicker.stop();
        nRowsAtClick = List().GetItemCount();
        ClickHeader(HeaderOf(List()), kStartLba);
    });
    clicker.start(0);
    Command(IDC_LOAD_3COL);
    ASSERT_GE(nRowsAtClick, 100);
    ASSERT_LT(nRowsAtClick, nLines);
    ASSERT_EQ(List().GetItemCount(), nLines);

    std::vector<int> sortedPart;
    for (int i = 0; i < nRowsAtClick; ++i)
        sortedPart.push_back(std::stoi(List().GetItemText(i, kStartLba)));
    EXPECT_TRUE(std::is_sorted(sortedPart.begin(), sortedPart.end()));
    for (int i = nRowsAtClick; i < nLines; ++i)
        EXPECT_EQ(List().GetItemText(i, kFileName), "N" + std::to_string(1000 + i).substr(1)) << i;
    EXPECT_EQ(List().GetSortColumn(), kStartLba);
}

} // namespace
