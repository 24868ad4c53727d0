#include "app/about_dlg.h"

#include <QCoreApplication>
#include <QDir>
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
    const QString path =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("user-guide.html"));
    return QUrl::fromLocalFile(path).toString();
}
