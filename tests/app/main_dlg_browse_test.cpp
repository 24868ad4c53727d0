// Browse in the main window: the picker it opens, and what choosing or cancelling does to the fields, the
// listing buttons and the table.
#include <gtest/gtest.h>

#include <array>
#include <string_view>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/main_dlg.h"
#include "main_dlg_controls.h"
#include "modal_driver.h"
#include "platform/message_box.h"
#include "qstring_printer.h"
#include "res/resource.h"

namespace {

constexpr int kListingButtons[] = {IDC_LOAD_3COL,     IDC_LOAD_4COL,     IDC_LOAD_5COL,
                                   IDC_FILELIST_LOAD, IDC_FILELIST_SAVE, IDC_SAVE};

class MainDlgBrowseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QFile file(m_dir.path() + QStringLiteral("/LBA.TXT"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("0000001A|00000800|BOOT.BIN\r\n");
        file.close();
        m_previousDir = QDir::currentPath();
        // The picker opens at the current directory.
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        m_previousHandler = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            m_boxes.push_back(request);
            return IDOK;
        });
        ASSERT_TRUE(m_dlg.CreateModeless());
    }
    void TearDown() override {
        m_dlg.DestroyWindow();
        SetMessageBoxHandler(m_previousHandler);
        QDir::setCurrent(m_previousDir);
    }

    // The state Scan and a load leave: all six buttons enabled, one row in the table, fields set.
    void MakeLoadedState() {
        for (int id : kListingButtons)
            m_dlg.GetDlgItem(id)->EnableWindow(TRUE);
        const std::array<std::string_view, 6> row = {"0000", "26", "2048", "BOOT.BIN", "", ""};
        ASSERT_GE(TableOf(m_dlg).AddRow(row), 0);
        m_dlg.GetDlgItem(IDC_FOLDER_PATH)->SetWindowText(QStringLiteral("/before/"));
        m_dlg.GetDlgItem(IDC_TEXT_FILE)->SetWindowText(QStringLiteral("BEFORE.TXT"));
    }

    int EnabledListingButtons() const {
        int enabled = 0;
        for (int id : kListingButtons)
            enabled += m_dlg.GetDlgItem(id)->IsWindowEnabled() ? 1 : 0;
        return enabled;
    }
    QString Field(int id) const { return m_dlg.GetDlgItem(id)->GetWindowText(); }

    // Runs Browse; the picker is handed to `drive` once it is open.
    void Browse(const std::function<void(QFileDialog*)>& drive) {
        WhenModalOpens([drive](QWidget* window) {
            auto* picker = qobject_cast<QFileDialog*>(window);
            ASSERT_NE(picker, nullptr) << "Browse opens the file picker";
            drive(picker);
        });
        SendCommand(m_dlg, IDOK);
    }

    static void Type(QFileDialog* picker, const QString& name) {
        picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
        picker->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
    }

    QTemporaryDir m_dir;
    QString m_previousDir;
    CMainDlg m_dlg;
    std::vector<MessageBoxRequest> m_boxes;
    MessageBoxHandler m_previousHandler;
};

struct BrowseCase {
    const char* name;
    QString typed;
    QString folderField; // "%DIR%" stands for the temporary folder
    QString fileField;
};
void PrintTo(const BrowseCase& c, std::ostream* os) {
    *os << c.name;
}

class MainDlgBrowseChooseTest : public MainDlgBrowseTest, public ::testing::WithParamInterface<BrowseCase> {};

} // namespace

TEST_P(MainDlgBrowseChooseTest, FillsTheFieldsDisablesTheButtonsAndEmptiesTheTable) {
    const BrowseCase& c = GetParam();
    QString folderField = c.folderField;
    folderField.replace(QStringLiteral("%DIR%"), m_dir.path());

    // Choosing the same file again resets the window just the same.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        MakeLoadedState();
        Browse([&](QFileDialog* picker) { Type(picker, c.typed); });
        EXPECT_EQ(Field(IDC_FOLDER_PATH), folderField);
        EXPECT_EQ(Field(IDC_TEXT_FILE), c.fileField);
        EXPECT_EQ(EnabledListingButtons(), 0);
        EXPECT_EQ(TableOf(m_dlg).GetItemCount(), 0);
        EXPECT_TRUE(m_boxes.empty());
    }
    // Browse leaves the other controls alone.
    for (int id : {IDOK, IDC_SCAN, IDC_EXIT, IDC_EFFECT})
        EXPECT_TRUE(m_dlg.GetDlgItem(id)->IsWindowEnabled()) << id;
}

INSTANTIATE_TEST_SUITE_P(Choices, MainDlgBrowseChooseTest,
                         ::testing::Values(BrowseCase{"existing", QStringLiteral("LBA.TXT"),
                                                      QStringLiteral("%DIR%/"), QStringLiteral("LBA.TXT")},
                                           BrowseCase{"typedNotExisting", QStringLiteral("NEW.TXT"),
                                                      QStringLiteral("%DIR%/"), QStringLiteral("NEW.TXT")},
                                           BrowseCase{"atTheRoot", QStringLiteral("/X.TXT"),
                                                      QStringLiteral("/"), QStringLiteral("X.TXT")}),
                         [](const ::testing::TestParamInfo<BrowseCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(MainDlgBrowseTest, OpensAtTheCurrentDirectoryWithTheTxtAndAllFilesFilters) {
    QString directory;
    QStringList filters;
    Browse([&](QFileDialog* picker) {
        directory = picker->directory().absolutePath();
        auto* combo = picker->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; combo && i < combo->count(); ++i)
            filters.append(combo->itemText(i));
        picker->reject();
    });
    EXPECT_EQ(directory, QDir(m_dir.path()).absolutePath());
    EXPECT_EQ(filters, (QStringList{QStringLiteral(".TXT (*.TXT)"), QStringLiteral("All files (*.*)")}));
}

TEST_F(MainDlgBrowseTest, CancellingSaysSoAndChangesNothing) {
    MakeLoadedState();
    Browse([](QFileDialog* picker) { picker->reject(); });
    EXPECT_EQ(Field(IDC_FOLDER_PATH), QStringLiteral("/before/"));
    EXPECT_EQ(Field(IDC_TEXT_FILE), QStringLiteral("BEFORE.TXT"));
    EXPECT_EQ(EnabledListingButtons(), 6);
    EXPECT_EQ(TableOf(m_dlg).GetItemCount(), 1);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, QStringLiteral("You cancelled."));
    EXPECT_EQ(m_boxes[0].caption, QStringLiteral("No File Chosen"));
    EXPECT_EQ(m_boxes[0].type, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(m_boxes[0].owner, m_dlg.GetSafeWidget());
}

TEST_F(MainDlgBrowseTest, TheBrowseButtonRunsBrowse) {
    auto* button = qobject_cast<QPushButton*>(m_dlg.GetDlgItem(IDOK)->GetSafeWidget());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("Browse..."));
    bool pickerOpened = false;
    WhenModalOpens([&](QWidget* window) {
        pickerOpened = qobject_cast<QFileDialog*>(window) != nullptr;
        Type(qobject_cast<QFileDialog*>(window), QStringLiteral("LBA.TXT"));
    });
    button->click();
    EXPECT_TRUE(pickerOpened);
    EXPECT_EQ(Field(IDC_TEXT_FILE), QStringLiteral("LBA.TXT"));
    EXPECT_TRUE(m_dlg.GetSafeWidget()->isVisible()) << "the main window stays open";
}
