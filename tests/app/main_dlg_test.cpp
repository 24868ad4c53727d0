// The main window after start-up, and the ways it ends.
#include "main_dlg_fixture.h"

#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/process_exit.h"

namespace {

QString CurrentFolderWithSeparator() {
    return QFile::decodeName(QDir::currentPath().toLocal8Bit()) + QLatin1Char('/');
}

} // namespace

TEST(MainDlgStart, FieldsButtonsAndTableAfterStartUp) {
    CMainDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    EXPECT_EQ(dlg.GetDlgItem(IDC_FOLDER_PATH)->GetWindowText(), CurrentFolderWithSeparator());
    EXPECT_EQ(dlg.GetDlgItem(IDC_TEXT_FILE)->GetWindowText(), QStringLiteral("LBA.TXT"));
    for (int id :
         {IDC_LOAD_3COL, IDC_LOAD_4COL, IDC_LOAD_5COL, IDC_SAVE, IDC_FILELIST_LOAD, IDC_FILELIST_SAVE})
        EXPECT_FALSE(dlg.GetDlgItem(id)->IsWindowEnabled()) << id;
    for (int id : {IDOK, IDC_SCAN, IDC_EXIT, IDC_EFFECT, IDC_CHECK_NUMBER, IDC_CHECK_COLUMN6})
        EXPECT_TRUE(dlg.GetDlgItem(id)->IsWindowEnabled()) << id;
    for (const CButton* box : {&ButtonOf(dlg, IDC_CHECK_NUMBER), &ButtonOf(dlg, IDC_CHECK_STARTLBA),
                               &ButtonOf(dlg, IDC_CHECK_FILESIZE), &ButtonOf(dlg, IDC_CHECK_FILENAME),
                               &ButtonOf(dlg, IDC_CHECK_LBAPOS), &ButtonOf(dlg, IDC_CHECK_COLUMN6)})
        EXPECT_EQ(box->GetCheck(), BST_UNCHECKED);

    EXPECT_EQ(TableOf(dlg).GetColumnCount(), 6);
    EXPECT_EQ(TableOf(dlg).GetItemCount(), 0);
    const char* titles[] = {"Number", "StartLba", "FileSize", "FileName", "LbaPos", "Column6"};
    // FileName, the widest text, has the most room.
    const int widths[] = {50, 70, 75, 220, 60, 60};
    CHeaderCtrl* header = TableOf(dlg).GetHeaderCtrl();
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header->GetItemCount(), 6);
    for (int i = 0; i < 6; ++i) {
        HDITEM item;
        item.mask = HDI_TEXT | HDI_WIDTH;
        ASSERT_TRUE(header->GetItem(i, &item));
        EXPECT_EQ(item.text, titles[i]);
        EXPECT_EQ(item.cxy, widths[i]);
    }
    auto* view = qobject_cast<QTableView*>(TableOf(dlg).GetSafeWidget());
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->verticalHeader()->isVisible());
    EXPECT_FALSE(view->showGrid());
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    dlg.DestroyWindow();
}

TEST(MainDlgStart, AnUnreadableWorkingFolderIsReportedAndStartUpGoesOn) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    const QString gone = dir.filePath(QStringLiteral("gone"));
    ASSERT_TRUE(QDir().mkdir(gone));
    ASSERT_TRUE(QDir::setCurrent(gone));
    ASSERT_TRUE(QDir().rmdir(gone));
    ::testing::internal::CaptureStderr();
    CMainDlg dlg;
    const bool bCreated = dlg.CreateModeless();
    const std::string errors = ::testing::internal::GetCapturedStderr();
    QDir::setCurrent(previous);
    ASSERT_TRUE(bCreated);
    EXPECT_NE(errors.find("_getcwd error: "), std::string::npos) << errors;
    EXPECT_EQ(dlg.GetDlgItem(IDC_FOLDER_PATH)->GetWindowText(), QStringLiteral("/"));
    EXPECT_EQ(dlg.GetDlgItem(IDC_TEXT_FILE)->GetWindowText(), QStringLiteral("LBA.TXT"));
    dlg.DestroyWindow();
}

TEST(MainDlgStart, WindowFollowsItsTemplate) {
    CMainDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    QWidget* window = dlg.GetSafeWidget();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quarrow"));
    // 383 x 411 dialog units: the 575-pixel banner fits exactly, with room for the footer at row 630.
    EXPECT_EQ(window->size(), QSize(575, 668));
    // The list at (7, 240) 369 x 143 units.
    EXPECT_EQ(TableOf(dlg).GetSafeWidget()->geometry(), QRect(11, 390, 554, 232));
    EXPECT_EQ(dlg.GetDlgItem(IDC_SAVE)->GetWindowText(), QStringLiteral("Save "));
    EXPECT_EQ(dlg.GetDlgItem(IDC_SCAN)->GetWindowText(), QStringLiteral("Scan"));
    dlg.DestroyWindow();
}

TEST(MainDlgStart, CheckBoxClicksReachTheCommandTable) {
    CMainDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    // A real click on the box flips it and runs its handler through the command table; what the boxes
    // show is what Save writes (the save tests load and write through them).
    auto* box = dlg.GetDlgItem(IDC_CHECK_LBAPOS)->GetSafeWidget();
    QMetaObject::invokeMethod(box, "click");
    EXPECT_EQ(ButtonOf(dlg, IDC_CHECK_LBAPOS).GetCheck(), BST_CHECKED);
    QMetaObject::invokeMethod(box, "click");
    EXPECT_EQ(ButtonOf(dlg, IDC_CHECK_LBAPOS).GetCheck(), BST_UNCHECKED);
    for (int id : {IDC_CHECK_NUMBER, IDC_CHECK_STARTLBA, IDC_CHECK_FILESIZE, IDC_CHECK_FILENAME,
                   IDC_CHECK_LBAPOS, IDC_CHECK_COLUMN6})
        EXPECT_TRUE(SendCommand(dlg, id)) << id;
    // The handler records the state; it does not change it.
    ButtonOf(dlg, IDC_CHECK_COLUMN6).SetCheck(BST_CHECKED);
    EXPECT_TRUE(SendCommand(dlg, IDC_CHECK_COLUMN6));
    EXPECT_EQ(ButtonOf(dlg, IDC_CHECK_COLUMN6).GetCheck(), BST_CHECKED);
    EXPECT_FALSE(SendCommand(dlg, 0x7FFF)) << "an identifier the table does not know";
    dlg.DestroyWindow();
}

TEST(MainDlgEnd, ExitEndsTheProcessWithStatusZero) {
    EXPECT_EXIT(
        {
            CMainDlg dlg;
            dlg.CreateModeless();
            QMetaObject::invokeMethod(dlg.GetDlgItem(IDC_EXIT)->GetSafeWidget(), "click");
            std::fprintf(stderr, "still running\n");
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(MainDlgEnd, EscapeEndsTheModalDialogWithCancel) {
    CMainDlg dlg;
    QTimer::singleShot(0, [] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->reject();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.IsWindow());
}

TEST(MainDlgEnd, SystemMenuCloseEndsTheDialog) {
    CMainDlg dlg;
    QTimer::singleShot(0, [&dlg] { SendSysCommand(dlg, SC_CLOSE); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_FALSE(dlg.GetSystemMenu(FALSE)->Entries().empty());
    EXPECT_EQ(dlg.GetSystemMenu(FALSE)->Entries().front().id, SC_CLOSE);
}
