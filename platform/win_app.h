// The application object: runs the Qt application, roots the per-user settings store at a vendor key.
#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "base/afx_types.h"

class CWnd;
class QSettings;

class CWinApp {
public:
    // Also readies the process: a write beyond the file-size limit then fails with an error the savers
    // report, instead of a signal ending the process without a word.
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs the application: makes the Qt application when there is none yet, then InitInstance. The Qt
    // application lives only as long as this call, so it is gone before the process ends. Returns the
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
};

// The application object that is alive, or nullptr.
CWinApp* AfxGetApp();
