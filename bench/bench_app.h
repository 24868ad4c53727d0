// The application a benchmark drives the real window in: offscreen unless a platform is asked for,
// settings in a temporary folder, and message boxes answered at once.
#pragma once

#include <memory>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "app/main_dlg.h"
#include "platform/message_box.h"
#include "platform/win_app.h"
#include "res/resource.h"

class CBenchApp {
public:
    CBenchApp(int& argc, char** argv) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_pApp = std::make_unique<QApplication>(argc, argv);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
        m_winApp.SetRegistryKey(QStringLiteral("Pellam"));
        SetMessageBoxHandler([](const MessageBoxRequest&) { return IDOK; });
    }

    // A temporary folder for the benchmark's files, removed at the end.
    QString Folder() const { return m_dir.path(); }

    // Shows the main window with its folder and file fields on the listing `name` in Folder().
    void OpenOn(CMainDlg& dlg, const QString& name) const {
        dlg.CreateModeless();
        dlg.GetDlgItem(IDC_FOLDER_PATH)->SetWindowText(Folder() + QLatin1Char('/'));
        dlg.GetDlgItem(IDC_TEXT_FILE)->SetWindowText(name);
    }

private:
    std::unique_ptr<QApplication> m_pApp;
    QTemporaryDir m_dir;
    CWinApp m_winApp;
};
