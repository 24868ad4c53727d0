// Replace File in Disc Image: the selected row's file gets the new content in Patched-<image>, every other
// file keeps its block; a refusal or a missing selection is told in a message box and the window stays.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string_view>
#include <vector>

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include "app/main_dlg.h"
#include "disc/disc_image.h"
#include "main_dlg_controls.h"
#include "modal_driver.h"
#include "platform/message_box.h"
#include "qstring_printer.h"
#include "res/resource.h"
#include "xorriso_image.h"

namespace {

// One file dialog's answer: a name typed and accepted, or (empty) the offered name accepted.
struct DialogAnswer {
    QString typed;
    QString offeredName; // filled in: what the dialog offered
};

// Answers the file dialogs as they open, one after the other, each once.
void AnswerDialogs(std::vector<DialogAnswer>& answers, std::size_t next) {
    if (next == answers.size())
        return;
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog || dialog->property("answered").toBool()) {
        QTimer::singleShot(5, qApp, [&answers, next] { AnswerDialogs(answers, next); });
        return;
    }
    dialog->setProperty("answered", true);
    ModalCloser closer(dialog);
    QLineEdit* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    answers[next].offeredName = name->text();
    if (!answers[next].typed.isEmpty())
        name->setText(answers[next].typed);
    // Nothing stays scheduled after the last dialog: the answers live only as long as the command runs.
    if (next + 1 < answers.size())
        QTimer::singleShot(0, qApp, [&answers, next] { AnswerDialogs(answers, next + 1); });
    const auto button =
        dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save : QDialogButtonBox::Open;
    dialog->findChild<QDialogButtonBox*>()->button(button)->click();
}

class MainDlgReplaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        const QString tree = m_dir.filePath(QStringLiteral("tree"));
        QDir().mkpath(tree + QStringLiteral("/A"));
        for (const auto& [name, bytes] : {std::pair{"A/big", "0123456789"}, std::pair{"mid", "12345"}}) {
            QFile file(tree + QLatin1Char('/') + QLatin1String(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        QFile source(m_dir.filePath(QStringLiteral("new.bin")));
        ASSERT_TRUE(source.open(QIODevice::WriteOnly));
        source.write("new content");
        source.close();
        m_image = m_dir.filePath(QStringLiteral("game.iso"));
        ASSERT_EQ(MakeJolietImage(m_image, tree), 0);
        m_previousHandler = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            m_boxes.push_back(request);
            return IDOK;
        });
        ASSERT_TRUE(m_dlg.CreateModeless());
        for (const char* name : {"/mid", "/A/big", "/not there"}) {
            const std::array<std::string_view, 6> row = {"0000", "0", "0", name, "", ""};
            TableOf(m_dlg).AddRow(row);
        }
        TableOf(m_dlg).UpdateWindow();
    }
    void TearDown() override {
        m_dlg.DestroyWindow();
        SetMessageBoxHandler(m_previousHandler);
    }

    void SelectRow(int row) { qobject_cast<QTableView*>(TableOf(m_dlg).GetSafeWidget())->selectRow(row); }

    std::vector<DialogAnswer> Replace() {
        std::vector<DialogAnswer> answers = {
            {m_image, {}}, {m_dir.filePath(QStringLiteral("new.bin")), {}}, {{}, {}}};
        QTimer::singleShot(0, qApp, [&answers] { AnswerDialogs(answers, 0); });
        SendSysCommand(m_dlg, IDM_REPLACE_FILE_IN_DISC_IMAGE);
        return answers;
    }

    QTemporaryDir m_dir;
    QString m_image;
    CMainDlg m_dlg;
    std::vector<MessageBoxRequest> m_boxes;
    MessageBoxHandler m_previousHandler;
};

} // namespace

TEST_F(MainDlgReplaceTest, ReplacesTheSelectedRowsFileInPatchedImage) {
    SelectRow(1);
    const std::vector<DialogAnswer> answers = Replace();
    EXPECT_EQ(answers[2].offeredName, QStringLiteral("Patched-game.iso"));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(m_boxes[0].text.contains(QStringLiteral("/A/big: "))) << m_boxes[0].text.toStdString();
    EXPECT_TRUE(m_boxes[0].text.contains(QStringLiteral("(in place)"))) << m_boxes[0].text.toStdString();

    const QString patched = m_dir.filePath(QStringLiteral("Patched-game.iso"));
    const CResult<std::vector<DiscExtent>> before = ReadDiscImage(QFile::encodeName(m_image).toStdString());
    const CResult<std::vector<DiscExtent>> after = ReadDiscImage(QFile::encodeName(patched).toStdString());
    ASSERT_TRUE(after.Ok()) << after.Error().message;
    ASSERT_TRUE(before.Ok()) << before.Error().message;
    ASSERT_EQ(after->size(), before->size());
    QFile file(patched);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    for (std::size_t i = 0; i < after->size(); ++i) {
        EXPECT_EQ(after->at(i).startLba, before->at(i).startLba) << after->at(i).path;
        if (after->at(i).path == "/A/big") {
            file.seek(qint64{after->at(i).startLba} * 2048);
            EXPECT_EQ(file.read(after->at(i).size), QByteArray("new content"));
        }
    }
}

TEST_F(MainDlgReplaceTest, TellsARefusalOrAMissingSelectionAndTheWindowStays) {
    SendSysCommand(m_dlg, IDM_REPLACE_FILE_IN_DISC_IMAGE);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(m_boxes[0].text.contains(QStringLiteral("Select the row"))) << m_boxes[0].text.toStdString();

    m_boxes.clear();
    SelectRow(2);
    Replace();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].type, MB_OK | MB_ICONERROR);
    EXPECT_TRUE(m_boxes[0].text.contains(QStringLiteral("the image has no file of that name")))
        << m_boxes[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("Patched-game.iso"))));
    EXPECT_TRUE(m_dlg.GetSafeWidget()->isVisible());
}
