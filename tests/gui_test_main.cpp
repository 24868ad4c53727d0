// Entry point of the Qt tests: an offscreen application, settings in a temporary folder, and message
// boxes answered at once (a test that wants to see them installs its own handler).
#include <gtest/gtest.h>

#include "death_test_folder.h"
#include "platform/message_box.h"
#include "platform/win_app.h"
#include <QApplication>
#include <QSettings>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Death tests run in a fresh copy of this program, so no Qt thread of the parent is forked with them.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    // Shared with the copies that death tests run: a folder of their own would outlive them, since they
    // end without unwinding.
    const DeathTestFolder settingsDir("QUARROW_TEST_MAIN_SETTINGS");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.Path());
    CWinApp winApp;
    winApp.SetRegistryKey(QStringLiteral("Pellam"));
    SetMessageBoxHandler([](const MessageBoxRequest&) { return IDOK; });
    return RUN_ALL_TESTS();
}
