// The table's own menu and the order by hand: the row commands and the window's entries, their
// shortcuts, what Save writes after a move, Copy, and the sort arrow that a move or a new load clears.
#include "main_dlg_fixture.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "platform/list_view_widget.h"
#include "platform/menu.h"

namespace {

const std::string kListing = "00000010|00000800|A.BIN\r\n"
                             "00000020|00000300|B.BIN\r\n"
                             "00000030|00000100|C.BIN\r\n"
                             "00000040|00000900|D.BIN\r\n"
                             "00000050|00000200|E.BIN\r\n";

class MainDlgRowsTest : public MainDlgTest {
protected:
    void LoadFiveRows() {
        WriteFile("LBA.TXT", kListing);
        Load("LBA.TXT", IDC_LOAD_3COL);
        List().UpdateWindow();
    }
    // The FileName letters of the table in its shown order.
    std::string Names() const {
        std::string names;
        for (int i = 0; i < List().GetItemCount(); ++i)
            names += List().GetItemText(i, 3).substr(0, 1);
        return names;
    }
    void Select(std::vector<std::uint32_t> rows) { List().SelectRows(rows); }
    // A key with modifiers typed in the table, through the window's shortcuts as a real key press goes.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QWidget* table = List().GetSafeWidget();
        QApplication::setActiveWindow(table->window());
        table->setFocus();
        QTest::keyClick(table, key, modifiers);
    }
};

TEST_F(MainDlgRowsTest, TheTableMenuHoldsTheRowCommandsAndEveryEntryOfTheWindowsMenu) {
    // An entry added to the system menu later, as another command adds one, shows in the table's menu too.
    m_dlg->GetSystemMenu(FALSE)->AppendMenu(MF_STRING, 0x0990, QStringLiteral("Another Entry..."));
    // A right click on the table shows the menu; it is read as shown and left without a choice.
    QStringList labels;
    QTimer::singleShot(0, qApp, [&labels] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << "the table's menu is open";
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator()) {
                labels << QStringLiteral("-");
                continue;
            }
            const QString shortcut = action->shortcut().toString();
            labels << (shortcut.isEmpty() ? action->text() : action->text() + QLatin1Char('\t') + shortcut);
        }
        menu->close();
    });
    static_cast<CDialog&>(*m_dlg).OnContextMenu(&List(), CPoint(10, 10));
    EXPECT_EQ(
        labels.join(QLatin1Char('|')),
        QStringLiteral("Move to &Top\tCtrl+Shift+Home|Move &Up\tCtrl+Shift+Up|Move &Down\tCtrl+Shift+Down|"
                       "Move to &Bottom\tCtrl+Shift+End|-|&Copy\tCtrl+C|-|&Import Disc Image...\tCtrl+I|"
                       "&Export Sort Weights...\tCtrl+E|&Rebuild Disc Image in This Order...\tCtrl+R|"
                       "Re&place File in Disc Image...\tCtrl+P|&Order by Read Trace...\tCtrl+T|"
                       "&Layout Map...\tCtrl+M|-|"
                       "&About|Another Entry..."));
}

TEST_F(MainDlgRowsTest, MovesByShortcutKeepTheSelectionClearTheArrowAndAreWhatSaveWrites) {
    LoadFiveRows();
    ASSERT_EQ(Names(), "ABCDE");
    List().SortByColumn(2, TRUE); // FileSize
    ASSERT_EQ(Names(), "CEBAD");
    struct Step {
        std::vector<std::uint32_t> select;
        Qt::Key key;
        std::string names;
    };
    const Step steps[] = {
        {{1, 3}, Qt::Key_Home, "EACBD"}, {{}, Qt::Key_Down, "CEABD"}, {{}, Qt::Key_End, "CBDEA"},
        {{}, Qt::Key_Up, "CBEAD"},       {{0}, Qt::Key_Up, "CBEAD"},  {{0, 4}, Qt::Key_Down, "BCEAD"},
    };
    for (const Step& step : steps) {
        if (!step.select.empty())
            Select(step.select);
        Press(step.key, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Names(), step.names) << "after key " << step.key;
        EXPECT_EQ(List().GetSortColumn(), -1) << "a move clears the sort arrow";
    }
    EXPECT_EQ(List().GetSelectedRows(), (std::vector<std::uint32_t>{1, 4}));

    SetBoxes("000100");
    Command(IDC_SAVE);
    EXPECT_EQ(ReadFile("Sorted-LBA.TXT"), "B.BIN\r\nC.BIN\r\nE.BIN\r\nA.BIN\r\nD.BIN\r\n");
    Command(IDC_FILELIST_SAVE);
    EXPECT_EQ(ReadFile("Sorted-LBA.TXT").substr(0, 17), "0000032 , B.BIN\r\n");

    // A header click after a move sorts ascending again.
    List().NotifyColumnClick(3);
    EXPECT_EQ(Names(), "ABCDE");
}

TEST_F(MainDlgRowsTest, CopyPutsTheSelectedRowsOnTheClipboardAsListingLines) {
    LoadFiveRows();
    Select({1, 3});
    SetBoxes("010100");
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("00000020|B.BIN\r\n00000040|D.BIN\r\n"));
    SetBoxes("000000"); // none ticked: the lines of a three-column listing
    Command(IDM_COPY_ROWS);
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("00000020|00000300|B.BIN\r\n00000040|00000900|D.BIN\r\n"));
}

TEST_F(MainDlgRowsTest, ALoadOrAnEmptiedTableHasNoSortArrow) {
    LoadFiveRows();
    List().SortByColumn(1, FALSE);
    ASSERT_EQ(List().GetSortColumn(), 1);
    LoadFiveRows();
    EXPECT_EQ(List().GetSortColumn(), -1);
    EXPECT_EQ(Names(), "ABCDE");
}

// Sorting is stable: a click on FileSize and then one on StartLba orders by StartLba, and by size among
// rows of the same StartLba.
TEST_F(MainDlgRowsTest, ASecondSortKeepsTheFirstOrderAmongEqualRows) {
    WriteFile("LBA.TXT", "00000010|00000300|A.BIN\r\n00000020|00000100|B.BIN\r\n"
                         "00000010|00000100|C.BIN\r\n00000020|00000300|D.BIN\r\n");
    Load("LBA.TXT", IDC_LOAD_3COL);
    List().NotifyColumnClick(2);
    EXPECT_EQ(Names(), "BCAD");
    List().NotifyColumnClick(1);
    EXPECT_EQ(Names(), "CABD");
}

// A long table sorts off the window's thread: the window's events run meanwhile, the bar moves, and the
// result is the order of the sort; a table emptied meanwhile keeps being empty.
TEST_F(MainDlgRowsTest, ALongSortLetsTheWindowRunAndAnEmptyingWinsOverIt) {
    const int rows = CColumnListCtrl::kThreadedSortRows + 5000;
    const auto fill = [&] {
        for (int i = 0; i < rows; ++i) {
            const std::string name = "N" + std::to_string((i * 7919) % rows + 100000);
            const std::string_view cells[] = {"0", "1", "2", name, "", ""};
            List().AddRow(cells);
        }
        List().UpdateWindow();
    };
    fill();
    bool sortingSeen = false;
    QTimer::singleShot(0, [&] { sortingSeen = List().IsSorting(); });
    List().NotifyColumnClick(3);
    EXPECT_TRUE(sortingSeen) << "a timer ran while the sort did";
    EXPECT_FALSE(List().IsSorting());
    EXPECT_EQ(List().GetSortColumn(), 3);
    for (int i = 1; i < rows; ++i)
        ASSERT_LT(List().GetItemText(i - 1, 3), List().GetItemText(i, 3)) << i;

    // Emptied by a command run during the sort: the sort's order is dropped.
    List().DeleteAllRows();
    fill();
    QTimer::singleShot(0, [&] { List().DeleteAllRows(); });
    EXPECT_FALSE(List().SortByColumn(3, FALSE));
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(List().GetSortColumn(), -1);
}

TEST_F(MainDlgRowsTest, ADropAtARowPutsTheSelectedRowsBeforeOrAfterItByItsHalf) {
    LoadFiveRows();
    auto* view = static_cast<QTableView*>(List().GetSafeWidget());
    view->resize(400, 300);
    Select({0, 1});
    const QRect row3 = view->visualRect(view->model()->index(3, 0));
    EXPECT_TRUE(List().MoveSelectedRowsBefore(
        static_cast<CListViewWidget*>(view)->DropRowAt(row3.center() + QPoint(0, row3.height() / 4))));
    EXPECT_EQ(Names(), "CDABE");
}

} // namespace
