#include "platform/win_app.h"

#include <csignal>
#include <optional>

#include <QApplication>
#include <QSettings>

#include "platform/window_gone_filter.h"

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp() {
    g_pApp = this;
    std::signal(SIGXFSZ, SIG_IGN);
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

int CWinApp::Run(int& argc, char** argv) {
    std::optional<QApplication> qtApp;
    if (!QCoreApplication::instance())
        qtApp.emplace(argc, argv);
    CWindowGoneFilter windowGone;
    QCoreApplication::instance()->installNativeEventFilter(&windowGone);
    QCoreApplication::setApplicationName(m_strAppName);
    InitInstance();
    return 0;
}

BOOL CWinApp::InitInstance() {
    return FALSE;
}

void CWinApp::SetRegistryKey(const QString& vendorKey) {
    m_strRegistryKey = vendorKey;
    QCoreApplication::setOrganizationName(vendorKey);
}

std::unique_ptr<QSettings> CWinApp::OpenSettings() const {
    const QString vendor = m_strRegistryKey.isEmpty() ? m_strAppName : m_strRegistryKey;
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, vendor, m_strAppName);
}

bool CWinApp::GetProfileBinary(const QString& section, const QString& entry,
                               std::vector<unsigned char>& data) {
    auto settings = OpenSettings();
    const QVariant value = settings->value(section + QLatin1Char('/') + entry);
    if (!value.isValid())
        return false;
    const QByteArray bytes = value.toByteArray();
    data.assign(bytes.begin(), bytes.end());
    return true;
}

bool CWinApp::WriteProfileBinary(const QString& section, const QString& entry, const unsigned char* data,
                                 std::size_t size) {
    auto settings = OpenSettings();
    settings->setValue(section + QLatin1Char('/') + entry,
                       QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    settings->sync();
    return settings->status() == QSettings::NoError;
}
