// The application object: owns the Qt application, roots the per-user settings store at a vendor key.
#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "platform/afx_types.h"

class CWnd;
class QApplication;
class QSettings;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs the application: makes the Qt application when there is none yet, then InitInstance. Returns the
    // process exit status.
    int Run(int& argc, char** argv);

    virtual BOOL InitInstance();

    // The platform's own style already gives the controls their three-dimensional look.
    void Enable3dControls() {}

    // Roots the settings store at the vendor key; the application name is m_strAppName.
    void SetRegistryKey(const QString& vendorKey);

    // A stored byte string, or false when there is none.
    bool GetProfileBinary(const QString& section, const QString& entry, std::vector<unsigned char>& data);
    // Stores a byte string, replacing an earlier one.
    bool WriteProfileBinary(const QString& section, const QString& entry, const unsigned char* data,
                            std::size_t size);

    CWnd* m_pMainWnd = nullptr;
    QString m_strAppName = QStringLiteral("Quarrow");
    QString m_strRegistryKey;

private:
    std::unique_ptr<QSettings> OpenSettings() const;
    std::unique_ptr<QApplication> m_pQtApp;
};

// The application object that is alive, or nullptr.
CWinApp* AfxGetApp();
