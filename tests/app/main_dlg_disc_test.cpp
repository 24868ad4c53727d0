// The disc image entries of the main window: Import Disc Image writes the listing of a real image and
// names it in the fields; Rebuild Disc Image in This Order writes an image in the table's order; failures
// are told in a message box and the window stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string_view>

#include <sys/stat.h>

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/main_dlg.h"
#include "disc/disc_image.h"
#include "file_size_limit.h"
#include "main_dlg_controls.h"
#include "modal_driver.h"
#include "platform/message_box.h"
#include "qstring_printer.h"
#include "res/resource.h"
#include "xorriso_image.h"

namespace {

constexpr int kListingButtons[] = {IDC_LOAD_3COL,     IDC_LOAD_4COL,     IDC_LOAD_5COL,
                                   IDC_FILELIST_LOAD, IDC_FILELIST_SAVE, IDC_SAVE};

// What the save dialog offered, and the choice the test makes in each picker.
struct PickerSteps {
    QString image;         // typed into the open dialog
    QString offeredFolder; // read from the save dialog
    QString offeredName;
    bool acceptSave = true; // else the save dialog is cancelled
    QString openTitle;      // the pickers' titles
    QString saveTitle;
    bool saveOffered = false;
    bool commandDone = false; // no save dialog is waited for after the command has ended
};

class MainDlgDiscTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        const QString tree = m_dir.filePath(QStringLiteral("tree"));
        for (const auto& [name, bytes] : {std::pair{"A/B/deep.txt", "deep"}, std::pair{"big", "0123456789"},
                                          std::pair{"sp ace", "x"}, std::pair{"mid", "12345"}}) {
            QDir().mkpath(QFileInfo(tree + QLatin1Char('/') + QLatin1String(name)).absolutePath());
            QFile file(tree + QLatin1Char('/') + QLatin1String(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        m_image = m_dir.filePath(QStringLiteral("game.iso"));
        ASSERT_EQ(MakeJolietImage(m_image, tree), 0);
        m_previousHandler = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            m_boxes.push_back(request);
            return (request.type & MB_YESNO) != 0 ? m_nAnswer : IDOK;
        });
        ASSERT_TRUE(m_dlg.CreateModeless());
    }
    void TearDown() override {
        m_dlg.DestroyWindow();
        SetMessageBoxHandler(m_previousHandler);
    }

    // Runs `command` and answers its two pickers: the image is typed into the first; the second, a save
    // dialog, is read and accepted with its suggestion or cancelled.
    void RunWithPickers(const std::function<void()>& command, PickerSteps& steps) {
        WhenModalOpens([&steps](QWidget* window) {
            auto* picker = qobject_cast<QFileDialog*>(window);
            ASSERT_NE(picker, nullptr);
            ASSERT_EQ(picker->acceptMode(), QFileDialog::AcceptOpen);
            steps.openTitle = picker->windowTitle();
            // The save dialog opens once this one has closed.
            QTimer::singleShot(0, qApp, [&steps, picker] { AnswerSaveDialog(picker, steps); });
            picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(steps.image);
            picker->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
        });
        command();
        steps.commandDone = true;
        // Any answer still waiting for a save dialog sees the command ended.
        QApplication::processEvents();
        QApplication::processEvents();
    }

    static void AnswerSaveDialog(QFileDialog* previous, PickerSteps& steps) {
        auto* save = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!save || save == previous) {
            if (!steps.commandDone)
                QTimer::singleShot(5, qApp, [&steps, previous] { AnswerSaveDialog(previous, steps); });
            return;
        }
        ModalCloser closer(save);
        EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
        steps.saveOffered = true;
        steps.saveTitle = save->windowTitle();
        steps.offeredFolder = save->directory().absolutePath();
        steps.offeredName = save->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        // Replacing a file is confirmed in the dialog's own question, which the test does not answer.
        save->setOption(QFileDialog::DontConfirmOverwrite);
        if (steps.acceptSave)
            save->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
        else
            save->reject();
    }

    QString Field(int id) const { return m_dlg.GetDlgItem(id)->GetWindowText(); }

    void AddRows(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            const std::array<std::string_view, 6> row = {"0000", "0", "0", name, "", ""};
            TableOf(m_dlg).AddRow(row);
        }
    }

    QTemporaryDir m_dir;
    QString m_image;
    CMainDlg m_dlg;
    std::vector<MessageBoxRequest> m_boxes;
    int m_nAnswer = IDNO; // to a question box
    MessageBoxHandler m_previousHandler;
};

} // namespace

TEST_F(MainDlgDiscTest, ImportWritesTheListingBesideTheImageAndNamesItLikeBrowse) {
    for (int id : kListingButtons)
        m_dlg.GetDlgItem(id)->EnableWindow(TRUE);
    AddRows({"/before"});
    PickerSteps steps;
    steps.image = m_image;
    RunWithPickers([&] { SendSysCommand(m_dlg, IDM_IMPORT_DISC_IMAGE); }, steps);

    EXPECT_EQ(steps.offeredFolder, QFileInfo(m_image).absolutePath());
    EXPECT_EQ(steps.offeredName, QStringLiteral("game.LBA.TXT"));
    QFile listing(m_dir.filePath(QStringLiteral("game.LBA.TXT")));
    ASSERT_TRUE(listing.open(QIODevice::ReadOnly));
    const QByteArray bytes = listing.readAll();
    EXPECT_EQ(bytes.count("\r\n"), 4);
    for (const char* tail :
         {"|0000000A|/big\r\n", "|00000005|/mid\r\n", "|00000001|/sp ace\r\n", "|00000004|/A/B/deep.txt\r\n"})
        EXPECT_TRUE(bytes.contains(tail)) << tail;
    EXPECT_EQ(Field(IDC_FOLDER_PATH), QFileInfo(m_image).absolutePath() + QLatin1Char('/'));
    EXPECT_EQ(Field(IDC_TEXT_FILE), QStringLiteral("game.LBA.TXT"));
    for (int id : kListingButtons)
        EXPECT_FALSE(m_dlg.GetDlgItem(id)->IsWindowEnabled()) << id;
    EXPECT_EQ(TableOf(m_dlg).GetItemCount(), 0);
    EXPECT_EQ(steps.openTitle, QStringLiteral("Import Disc Image"));
    EXPECT_EQ(steps.saveTitle, QStringLiteral("Save Listing As"));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text,
              QStringLiteral(" done ! =>  ") + m_dir.filePath(QStringLiteral("game.LBA.TXT")));
}

TEST_F(MainDlgDiscTest, ImportOfWhatIsNoImageNamesItAndTheReasonAndTheWindowStays) {
    const QString notImage = m_dir.filePath(QStringLiteral("notes.img"));
    QFile file(notImage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100000, 'x'));
    file.close();
    PickerSteps steps;
    steps.image = notImage;
    RunWithPickers([&] { SendSysCommand(m_dlg, IDM_IMPORT_DISC_IMAGE); }, steps);

    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_TRUE(m_boxes[0].text.contains(notImage)) << m_boxes[0].text.toStdString();
    EXPECT_TRUE(m_boxes[0].text.contains(QStringLiteral("Volume Descriptor")))
        << m_boxes[0].text.toStdString();
    EXPECT_EQ(m_boxes[0].type, MB_OK | MB_ICONERROR);
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("notes.LBA.TXT"))));
    EXPECT_FALSE(steps.saveOffered) << "the image is read before the listing's place is asked";
    EXPECT_TRUE(m_dlg.GetSafeWidget()->isVisible());
}

TEST_F(MainDlgDiscTest, ImportCutShortOrOfAFifoSaysWhyAndTheEarlierListingStays) {
    // An image whose listing outgrows the file-size limit.
    const QString tree = m_dir.filePath(QStringLiteral("many"));
    QDir().mkpath(tree);
    for (int i = 0; i < 200; ++i) {
        QFile file(tree + QStringLiteral("/a_file_name_of_some_length_%1.bin").arg(i));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    const QString many = m_dir.filePath(QStringLiteral("many.iso"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("xorriso"),
                                {QStringLiteral("-report_about"), QStringLiteral("SORRY"),
                                 QStringLiteral("-outdev"), many, QStringLiteral("-map"), tree,
                                 QStringLiteral("/"), QStringLiteral("-commit")}),
              0);
    const QString listing = m_dir.filePath(QStringLiteral("many.LBA.TXT"));
    QFile earlier(listing);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier\r\n");
    earlier.close();
    // A FIFO nobody writes to, picked as the image: it is refused at once instead of blocking the open.
    const QString fifo = m_dir.filePath(QStringLiteral("fifo.iso"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    struct Case {
        QString image;
        const char* reasonPart;
    };
    const Case cases[] = {{many, "File too large"}, {fifo, "not a regular file"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reasonPart);
        m_boxes.clear();
        PickerSteps steps;
        steps.image = c.image;
        {
            const CFileSizeLimit limit(4096);
            RunWithPickers([&] { SendSysCommand(m_dlg, IDM_IMPORT_DISC_IMAGE); }, steps);
        }
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_TRUE(m_boxes[0].text.contains(QLatin1String(c.reasonPart))) << m_boxes[0].text.toStdString();
        EXPECT_EQ(m_boxes[0].type, MB_OK | MB_ICONERROR);
    }
    QFile after(listing);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), QByteArray("earlier\r\n"));
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("fifo.LBA.TXT"))));
    const QStringList hidden =
        QDir(m_dir.path()).entryList({QStringLiteral(".*.LBA.TXT.*")}, QDir::Files | QDir::Hidden);
    EXPECT_TRUE(hidden.isEmpty()) << "no temporary file is left";
}

TEST_F(MainDlgDiscTest, RebuildWritesTheImageInTheTablesOrderOrSaysWhichRowIsMissing) {
    AddRows({"/sp ace", "/big", "/A/B/deep.txt", "/mid"});
    PickerSteps steps;
    steps.image = m_image;
    RunWithPickers([&] { SendSysCommand(m_dlg, IDM_REBUILD_DISC_IMAGE); }, steps);
    EXPECT_EQ(steps.offeredName, QStringLiteral("Sorted-game.iso"));
    EXPECT_EQ(steps.openTitle, QStringLiteral("Rebuild Disc Image"));
    EXPECT_EQ(steps.saveTitle, QStringLiteral("Choose the New Image"));
    const QString rebuilt = m_dir.filePath(QStringLiteral("Sorted-game.iso"));
    const CResult<std::vector<DiscExtent>> read = ReadDiscImage(QFile::encodeName(rebuilt).toStdString());
    ASSERT_TRUE(read.Ok()) << read.Error().message;
    std::vector<std::string> order;
    for (const DiscExtent& extent : *read)
        order.push_back(extent.path);
    EXPECT_EQ(order, (std::vector<std::string>{"/sp ace", "/big", "/A/B/deep.txt", "/mid"}));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(m_boxes[0].text.contains(rebuilt)) << m_boxes[0].text.toStdString();

    // A row the image does not hold: nothing is written and the row is named.
    QFile::remove(rebuilt);
    m_boxes.clear();
    AddRows({"/not there"});
    PickerSteps again;
    again.image = m_image;
    RunWithPickers([&] { SendSysCommand(m_dlg, IDM_REBUILD_DISC_IMAGE); }, again);
    EXPECT_FALSE(QFile::exists(rebuilt));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MB_OK | MB_ICONERROR);
    EXPECT_TRUE(m_boxes[0].text.contains(QStringLiteral("row 5"))) << m_boxes[0].text.toStdString();
    EXPECT_TRUE(m_dlg.GetSafeWidget()->isVisible());
}

TEST_F(MainDlgDiscTest, RebuildOfAUdfImageAsksAndWritesWithoutUdfOnlyOnYes) {
    const QString udf = m_dir.filePath(QStringLiteral("udf.iso"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("genisoimage"),
                                {QStringLiteral("-quiet"), QStringLiteral("-R"), QStringLiteral("-udf"),
                                 QStringLiteral("-o"), udf, m_dir.filePath(QStringLiteral("tree"))}),
              0);
    AddRows({"/big", "/mid"});
    const QString rebuilt = m_dir.filePath(QStringLiteral("Sorted-udf.iso"));
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        m_boxes.clear();
        m_nAnswer = answer;
        PickerSteps steps;
        steps.image = udf;
        RunWithPickers([&] { SendSysCommand(m_dlg, IDM_REBUILD_DISC_IMAGE); }, steps);
        ASSERT_GE(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].type, MB_YESNO | MB_ICONQUESTION);
        EXPECT_TRUE(m_boxes[0].text.contains(QStringLiteral("UDF"))) << m_boxes[0].text.toStdString();
        EXPECT_EQ(QFile::exists(rebuilt), answer == IDYES);
        EXPECT_EQ(m_boxes.size(), answer == IDYES ? 2u : 1u);
    }
    EXPECT_TRUE(m_boxes.back().text.contains(QStringLiteral("leaves out a UDF file system")))
        << m_boxes.back().text.toStdString();
    const CResult<std::vector<DiscExtent>> read = ReadDiscImage(QFile::encodeName(rebuilt).toStdString());
    ASSERT_TRUE(read.Ok()) << read.Error().message;
    EXPECT_EQ(read->front().path, "/big");
}
