// Export Sort Weights in the main window's system menu: the save dialog, its two formats, and the file
// written in the order the table shows.
#include "main_dlg_fixture.h"
#include "table/standalone_table.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include "file_size_limit.h"
#include "modal_driver.h"

namespace {

constexpr int kStartLba = 1;

class MainDlgExportTest : public MainDlgTest {
protected:
    // Runs the menu command; the save dialog is shown the filter starting with `filterStart`, given `name`,
    // and confirmed. Returns the dialog's filters.
    QStringList Export(const QString& filterStart, const QString& name, bool byFormatBox = false) {
        QStringList filters;
        WhenModalOpens([&](QWidget* window) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            ASSERT_NE(dialog, nullptr) << "the command opens a file dialog";
            EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Export Sort Weights"));
            filters = dialog->nameFilters();
            auto* formatBox = dialog->findChild<QComboBox*>(QStringLiteral("formatBox"));
            ASSERT_NE(formatBox, nullptr) << "the dialog asks for the format in a field of its own";
            EXPECT_TRUE(formatBox->isVisible());
            for (int i = 0; i < filters.size(); ++i) {
                if (!filters[i].startsWith(filterStart))
                    continue;
                if (byFormatBox)
                    formatBox->setCurrentIndex(i);
                else
                    dialog->selectNameFilter(filters[i]);
            }
            // Replacing a file is confirmed in the dialog's own question, which the test does not answer.
            dialog->setOption(QFileDialog::DontConfirmOverwrite);
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
        });
        SysCommand(IDM_EXPORT_WEIGHTS);
        return filters;
    }
};

} // namespace

TEST_F(MainDlgExportTest, MenuEntryWritesTheShownOrderInTheChosenFormat) {
    const auto& entries = m_dlg->GetSystemMenu(FALSE)->Entries();
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [](const CMenu::Entry& e) { return e.id == IDM_EXPORT_WEIGHTS; });
    ASSERT_NE(entry, entries.end());
    EXPECT_EQ(entry->text, QStringLiteral("&Export Sort Weights...\tCtrl+E"));

    WriteFile("LBA.TXT", "0000001A|00000800|BOOT.BIN\r\n"
                         "00000040|0003A000|DATA\\MAIN.ELF\r\n"
                         "00000030|00000800|with space.dat\r\n");
    SetFile("LBA.TXT");
    Command(IDC_SCAN);
    Command(IDC_LOAD_3COL);
    ClickHeader(HeaderOf(List()), kStartLba);
    ClickHeader(HeaderOf(List()), kStartLba);

    struct Case {
        const char* filterStart;
        const char* name;
        std::string written;
    };
    const Case cases[] = {
        {"xorriso-weights", "order.weights", "3 /DATA/MAIN.ELF\n2 /with space.dat\n1 /BOOT.BIN\n"},
        {"mkisofs-sort", "order.sort", "./DATA/MAIN.ELF 3\n./with space.dat 2\n./BOOT.BIN 1\n"},
        {"xorriso-weights", "boxed.weights", "3 /DATA/MAIN.ELF\n2 /with space.dat\n1 /BOOT.BIN\n"},
    };
    for (const Case& c : cases) {
        m_messages.clear();
        // The last case chooses the format in the format field instead of "Files of type".
        const QStringList filters =
            Export(QLatin1String(c.filterStart), QLatin1String(c.name), &c == &cases[std::size(cases) - 1]);
        ASSERT_EQ(filters.size(), 2);
        EXPECT_TRUE(filters[0].startsWith(QStringLiteral("mkisofs-sort"))) << filters[0].toStdString();
        EXPECT_TRUE(filters[1].startsWith(QStringLiteral("xorriso-weights"))) << filters[1].toStdString();
        EXPECT_EQ(ReadFile(QLatin1String(c.name)), c.written) << c.filterStart;
        ASSERT_EQ(m_messages.size(), 1u);
        EXPECT_EQ(m_messages[0], QStringLiteral(" done ! =>  ") + PathOf(QLatin1String(c.name)));
    }
}

TEST_F(MainDlgExportTest, NameNoLineCanCarryIsRefusedWithItsRowAndNothingIsWritten) {
    const std::array<std::string_view, 6> good = {"0000", "26", "2048", "GOOD.BIN", "", ""};
    const std::array<std::string_view, 6> bad = {"0001", "27", "2048", "two\nlines", "", ""};
    ASSERT_GE(List().AddRow(good), 0);
    ASSERT_GE(List().AddRow(bad), 0);
    Export(QStringLiteral("mkisofs-sort"), QStringLiteral("refused.sort"));
    EXPECT_EQ(ReadFile("refused.sort"), "<missing>");
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(
        m_messages[0].startsWith(QStringLiteral("Row 2 cannot be exported as mkisofs-sort: the name holds "
                                                "a line feed")))
        << m_messages[0].toStdString();
}

TEST_F(MainDlgExportTest, AnEmptyTableIsRefusedAndNoFileIsWritten) {
    // The refusal comes before any file dialog, so no dialog is answered here.
    WriteFile("empty.sort", "earlier\n");
    SysCommand(IDM_EXPORT_WEIGHTS);
    EXPECT_EQ(ReadFile("empty.sort"), "earlier\n");
    EXPECT_EQ(m_messages, std::vector<QString>{QStringLiteral("Nothing to save: load the listing first")});
}

TEST_F(MainDlgExportTest, AWriteCutShortIsReportedAndTheEarlierFileStays) {
    for (int i = 0; i < 300; ++i) {
        const std::string name = "FOLDER\\A_NAME_OF_SOME_LENGTH_" + std::to_string(i) + ".BIN";
        const std::array<std::string_view, 6> row = {"0000", "26", "2048", name, "", ""};
        ASSERT_GE(List().AddRow(row), 0);
    }
    WriteFile("order.sort", "earlier\n");
    {
        const CFileSizeLimit limit(4096);
        Export(QStringLiteral("mkisofs-sort"), QStringLiteral("order.sort"));
    }
    EXPECT_EQ(ReadFile("order.sort"), "earlier\n");
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(
        m_messages[0].startsWith(QStringLiteral("Error Writing ") + PathOf(QStringLiteral("order.sort"))))
        << m_messages[0].toStdString();
    EXPECT_TRUE(m_messages[0].contains(QStringLiteral("File too large"))) << m_messages[0].toStdString();
    EXPECT_EQ(QDir(m_path).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file is left";
}
