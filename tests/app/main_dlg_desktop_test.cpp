// The main window among the desktop's tools: a file named on the command line or dropped on the window,
// the names assistive technology reads, and the tooltip of a cut-off cell.
#include "main_dlg_fixture.h"

#include <QAccessible>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "platform/list_view_widget.h"
#include "qstring_printer.h"

namespace {

class MainDlgDesktopTest : public MainDlgTest {
protected:
    // Scan, Load and the table as they are after a load: what choosing a file resets.
    void MakeLoadedState() {
        for (int id : {IDC_LOAD_3COL, IDC_SAVE, IDC_FILELIST_LOAD, IDC_FILELIST_SAVE})
            Item(id)->EnableWindow(TRUE);
        const std::array<std::string_view, 6> row = {"0000", "26", "2048", "BOOT.BIN", "", ""};
        ASSERT_GE(List().AddRow(row), 0);
        SetFolder(QStringLiteral("/before/"));
        SetFile(QStringLiteral("BEFORE.TXT"));
    }

    // Drags the data over `target` and drops it there; returns whether the drop was taken.
    static bool Drop(QWidget* target, const QMimeData& data) {
        const QPoint centre = target->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }
};

struct DropCase {
    const char* name;
    QStringList urls; // "%DIR%" stands for the test's folder, which holds LBA.TXT and SUB/
    const char* text;
    bool onField; // dropped on the folder field rather than on the window
    bool taken;
};
void PrintTo(const DropCase& c, std::ostream* os) {
    *os << c.name;
}

class MainDlgDropTest : public MainDlgDesktopTest, public ::testing::WithParamInterface<DropCase> {};

} // namespace

TEST_F(MainDlgDesktopTest, FileFromTheCommandLineFillsTheFieldsAsBrowseDoes) {
    m_dlg->DestroyWindow();
    m_dlg = std::make_unique<CMainDlg>();
    m_dlg->SetFileToOpen(QStringLiteral("/discs/one/"), QStringLiteral("LBA5.TXT"));
    ASSERT_TRUE(m_dlg->CreateModeless());
    EXPECT_EQ(Item(IDC_FOLDER_PATH)->GetWindowText(), QStringLiteral("/discs/one/"));
    EXPECT_EQ(Item(IDC_TEXT_FILE)->GetWindowText(), QStringLiteral("LBA5.TXT"));
    EXPECT_EQ(ButtonStates(), "000000");
    EXPECT_EQ(List().GetItemCount(), 0);
}

TEST_P(MainDlgDropTest, OneFileIsTakenAsBrowseTakesItAnythingElseIsIgnored) {
    const DropCase& c = GetParam();
    WriteFile(QStringLiteral("LBA.TXT"), "0000001A|00000800|BOOT.BIN\r\n");
    ASSERT_TRUE(QDir(m_path).mkdir(QStringLiteral("SUB")));
    MakeLoadedState();
    m_dlg->GetSafeWidget()->show();

    QMimeData data;
    QList<QUrl> urls;
    for (QString url : c.urls)
        urls.append(QUrl(url.replace(QStringLiteral("%DIR%"), m_path)));
    if (!urls.isEmpty())
        data.setUrls(urls);
    if (*c.text)
        data.setText(QString::fromUtf8(c.text));
    QWidget* target = c.onField ? Item(IDC_FOLDER_PATH)->GetSafeWidget() : m_dlg->GetSafeWidget();

    EXPECT_EQ(Drop(target, data), c.taken);
    if (c.taken) {
        EXPECT_EQ(Item(IDC_FOLDER_PATH)->GetWindowText(), Folder());
        EXPECT_EQ(Item(IDC_TEXT_FILE)->GetWindowText(), QStringLiteral("LBA.TXT"));
        EXPECT_EQ(ButtonStates(), "000000");
        EXPECT_EQ(List().GetItemCount(), 0);
    } else {
        EXPECT_TRUE(Item(IDC_FOLDER_PATH)->GetWindowText().startsWith(QStringLiteral("/before/")));
        EXPECT_EQ(Item(IDC_TEXT_FILE)->GetWindowText(), QStringLiteral("BEFORE.TXT"));
        EXPECT_EQ(ButtonStates(), "100111");
        EXPECT_EQ(List().GetItemCount(), 1);
    }
    EXPECT_TRUE(m_messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Window, MainDlgDropTest,
    ::testing::Values(
        DropCase{"one file", {"file://%DIR%/LBA.TXT"}, "", false, true},
        DropCase{"one file on a field", {"file://%DIR%/LBA.TXT"}, "file://%DIR%/LBA.TXT", true, true},
        DropCase{"two files", {"file://%DIR%/LBA.TXT", "file://%DIR%/LBA.TXT"}, "", false, false},
        DropCase{"a folder", {"file://%DIR%/SUB"}, "", false, false},
        DropCase{"a missing file", {"file://%DIR%/NONE.TXT"}, "", false, false},
        DropCase{"a web link on a field",
                 {"https://quarrow.example/LBA.TXT"},
                 "https://quarrow.example/LBA.TXT",
                 true,
                 false},
        DropCase{"text on the window", {}, "LBA.TXT", false, false}),
    [](const ::testing::TestParamInfo<DropCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST_F(MainDlgDesktopTest, EveryControlHasAnAccessibleNameAndTheSaveButtonsDiffer) {
    m_dlg->GetSafeWidget()->show();
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(m_dlg->GetSafeWidget());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("Quarrow"));
    EXPECT_EQ(window->childCount(), 25);
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_FALSE(child->text(QAccessible::Name).isEmpty())
            << "child " << i << " of role " << child->role() << " ("
            << child->object()->metaObject()->className() << ")";
    }
    const struct {
        int id;
        QAccessible::Role role;
        const char* name;
    } named[] = {
        {IDC_FOLDER_PATH, QAccessible::EditableText, "Folder Path"},
        {IDC_TEXT_FILE, QAccessible::EditableText, "Text File"},
        {IDC_LIST, QAccessible::Table, "Listing"},
        {IDC_PROGRESS, QAccessible::ProgressBar, "Progress"},
        {IDC_SAVE, QAccessible::Button, "Save listing"},
        {IDC_FILELIST_SAVE, QAccessible::Button, "Save file list"},
        {IDC_SCAN, QAccessible::Button, "Scan"},
    };
    for (const auto& c : named) {
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(Item(c.id)->GetSafeWidget());
        ASSERT_NE(item, nullptr) << c.id;
        EXPECT_EQ(item->role(), c.role) << c.name;
        EXPECT_EQ(item->text(QAccessible::Name), QString::fromLatin1(c.name));
    }
    // The captions stay as they are.
    EXPECT_EQ(Item(IDC_SAVE)->GetWindowText(), QStringLiteral("Save "));
    EXPECT_EQ(Item(IDC_FILELIST_SAVE)->GetWindowText(), QStringLiteral("Save"));
}

TEST_F(MainDlgDesktopTest, OnlyACutOffCellHasATooltipAndItIsBounded) {
    const std::string hugeName(100000, 'N');
    const std::array<std::string_view, 6> row = {
        "0000", "26", "2048", "/MOVIE/A_LONG_FOLDER/ANOTHER_LONG_FOLDER/OPENING_SCENE.PSS", "", ""};
    const std::array<std::string_view, 6> huge = {"0001", "27", "2048", hugeName, "", ""};
    ASSERT_GE(List().AddRow(row), 0);
    ASSERT_GE(List().AddRow(huge), 0);
    auto* view = qobject_cast<CListViewWidget*>(List().GetSafeWidget());
    ASSERT_NE(view, nullptr);
    // The view learns of appended rows in batches; this hands it the rows now.
    List().UpdateWindow();
    const QAbstractItemModel* model = view->model();

    EXPECT_EQ(view->CutOffText(model->index(0, 1)), QString());
    EXPECT_EQ(view->CutOffText(model->index(0, 3)),
              QStringLiteral("/MOVIE/A_LONG_FOLDER/ANOTHER_LONG_FOLDER/OPENING_SCENE.PSS"));
    const QString tip = view->CutOffText(model->index(1, 3));
    EXPECT_EQ(tip.size(), CListViewWidget::kToolTipLength + 1);
    EXPECT_TRUE(tip.startsWith(QStringLiteral("NNNN")));
    // Wide enough, the cell shows whole.
    view->setColumnWidth(3, 1000);
    EXPECT_EQ(view->CutOffText(model->index(0, 3)), QString());
}
