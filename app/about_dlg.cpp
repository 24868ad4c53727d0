#include "app/about_dlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "res/resource.h"

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUTBOX, pParent) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LINK_EMAIL, m_linkEmail);
    DDX_Control(pDX, IDC_LINK_WEB, m_linkWeb);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_linkEmail.SetTarget(QString::fromLatin1(kMaintainersMailTarget));
    m_linkWeb.SetTarget(UserGuideTarget());
    CenterWindow();
    return TRUE;
}

QString CAboutDlg::UserGuideTarget() {
    // The build puts the guide next to the program; an installed program finds it in its doc folder.
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString name = QStringLiteral("user-guide.html");
    QString path = programDir.filePath(name);
    const QString installed =
        QDir::cleanPath(programDir.filePath(QStringLiteral(QUARROW_GUIDE_FROM_PROGRAM "/") + name));
    if (!QFileInfo::exists(path) && QFileInfo::exists(installed))
        path = installed;
    return QUrl::fromLocalFile(path).toString();
}
