// A main window made offscreen for a test, a temporary folder for its files, and the message boxes it
// shows, recorded and answered at once.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFile>

#include "app/main_dlg.h"
#include "app/message_pump.h"
#include "death_test_folder.h"
#include "main_dlg_controls.h"
#include "platform/message_box.h"
#include "res/resource.h"

class MainDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::make_unique<DeathTestFolder>(kFolderVariable);
        ASSERT_TRUE(m_folder->IsValid());
        m_path = m_folder->Path();
        m_previousHandler = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            m_messages.push_back(request.text);
            return IDOK;
        });
        m_dlg = std::make_unique<CMainDlg>();
        ASSERT_TRUE(m_dlg->CreateModeless());
        SetFolder(Folder());
    }

    void TearDown() override {
        m_dlg->DestroyWindow();
        m_dlg.reset();
        SetMessageBoxHandler(m_previousHandler);
        SetPumpThrottle(64, 20);
        m_folder.reset();
    }

    static constexpr const char* kFolderVariable = "QUARROW_TEST_FOLDER";

    // The temporary folder with its trailing separator.
    QString Folder() const { return m_path + QLatin1Char('/'); }
    QString PathOf(const QString& name) const { return Folder() + name; }

    void WriteFile(const QString& name, const std::string& bytes) const {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
                  static_cast<qint64>(bytes.size()));
    }

    std::string ReadFile(const QString& name) const {
        QFile file(PathOf(name));
        if (!file.open(QIODevice::ReadOnly))
            return "<missing>";
        const QByteArray bytes = file.readAll();
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }

    void SetFolder(const QString& folder) { Item(IDC_FOLDER_PATH)->SetWindowText(folder); }
    void SetFile(const QString& name) { Item(IDC_TEXT_FILE)->SetWindowText(name); }

    CWnd* Item(int id) const {
        CWnd* item = m_dlg->GetDlgItem(id);
        EXPECT_NE(item, nullptr) << "control " << id;
        return item;
    }
    bool Enabled(int id) const { return Item(id)->IsWindowEnabled() != FALSE; }
    CColumnListCtrl& List() const { return TableOf(*m_dlg); }
    CProgressCtrl& Progress() const { return ProgressOf(*m_dlg); }
    // The command as a click on its control arrives, whether the control is enabled or not.
    BOOL Command(int id) { return SendCommand(*m_dlg, id); }
    void SysCommand(UINT id) { SendSysCommand(*m_dlg, id); }

    // The enabled state of 1006, 1010, 1011, 1015, 1016, 1019 as a string of 0 and 1.
    std::string ButtonStates() const {
        std::string states;
        for (int id :
             {IDC_LOAD_3COL, IDC_LOAD_4COL, IDC_LOAD_5COL, IDC_FILELIST_LOAD, IDC_FILELIST_SAVE, IDC_SAVE})
            states += Enabled(id) ? '1' : '0';
        return states;
    }
    // The check boxes Number, StartLba, FileSize, FileName, LbaPos, Column6.
    static constexpr int kBoxIds[] = {IDC_CHECK_NUMBER,   IDC_CHECK_STARTLBA, IDC_CHECK_FILESIZE,
                                      IDC_CHECK_FILENAME, IDC_CHECK_LBAPOS,   IDC_CHECK_COLUMN6};
    // Their check states as 0 and 1.
    std::string BoxStates() const {
        std::string states;
        for (int id : kBoxIds)
            states += ButtonOf(*m_dlg, id).GetCheck() == BST_CHECKED ? '1' : '0';
        return states;
    }
    // Sets their check states, as Scan does, without running their handlers.
    void SetBoxes(const std::string& states) {
        for (std::size_t i = 0; i < std::size(kBoxIds); ++i)
            ButtonOf(*m_dlg, kBoxIds[i]).SetCheck(states[i] == '1' ? BST_CHECKED : BST_UNCHECKED);
    }

    // The cells of a row joined by '|'.
    std::string RowText(int row) const {
        std::string text;
        for (int c = 0; c < 6; ++c) {
            if (c)
                text += '|';
            text += List().GetItemText(row, c);
        }
        return text;
    }

    // Loads a listing written to `name` with the given loader after pointing the fields at it.
    void Load(const QString& name, int loader) {
        SetFile(name);
        Command(loader);
    }

    std::unique_ptr<DeathTestFolder> m_folder;
    QString m_path;
    std::unique_ptr<CMainDlg> m_dlg;
    std::vector<QString> m_messages;
    MessageBoxHandler m_previousHandler;
};

// For death tests: message boxes print their text on the standard error stream, so the test can match it.
inline void PrintMessageBoxes() {
    SetMessageBoxHandler([](const MessageBoxRequest& request) {
        std::fprintf(stderr, "[box] %s\n", request.text.toLocal8Bit().constData());
        return IDOK;
    });
}
