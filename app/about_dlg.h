// The About box: product line, icon, two lines of text, and links to the user guide and to the maintainers.
#pragma once

#include <QString>

#include "app/link_static.h"
#include "platform/dialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);
    ~CAboutDlg() override;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    // The user guide that ships with the program: next to it in the build, in its doc folder when installed.
    static QString UserGuideTarget();
    // The project's maintainers.
    static constexpr const char* kMaintainersMailTarget = "mailto:maintainers@quarrow.example";

    CLinkStatic m_linkEmail;
    CLinkStatic m_linkWeb;
};
