#include "app/main_dlg.h"

#include <array>
#include <string>

#include <QDir>
#include <QPainter>
#include <QWidget>

#include "app/current_directory.h"
#include "listing/listing_format.h"
#include "listing/sorted_path.h"
#include "platform/dc.h"
#include "platform/process_exit.h"
#include "res/resource.h"
#include "res/string_table.h"

namespace {

// The width of each column of the table, in column order. FileName takes what the others leave of the
// table's width, and every pixel the window grows by.
constexpr std::array<int, CellCount> kColumnWidths = {50, 70, 75, 220, 60, 60};

// The table's columns as the list control takes them: "title,width" pairs joined by ';'.
std::string ColumnList() {
    std::string list;
    for (int column = 0; column < CellCount; ++column) {
        if (column > 0)
            list += ';';
        list += kColumnNames[column];
        list += ',';
        list += std::to_string(kColumnWidths[column]);
    }
    return list;
}

} // namespace

CMainDlg::CMainDlg(CWnd* pParent)
    : CDialog(IDD_MAIN_DIALOG, pParent), m_hIcon(QStringLiteral(":/icon128.png")) {}

CMainDlg::~CMainDlg() = default;

void CMainDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CHECK_COLUMN6, m_btnColumn6);
    DDX_Control(pDX, IDC_CHECK_LBAPOS, m_btnLbaPos);
    DDX_Control(pDX, IDC_CHECK_FILENAME, m_btnFileName);
    DDX_Control(pDX, IDC_CHECK_FILESIZE, m_btnFileSize);
    DDX_Control(pDX, IDC_CHECK_STARTLBA, m_btnStartLba);
    DDX_Control(pDX, IDC_CHECK_NUMBER, m_btnNumber);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_LIST, m_list);
    DDX_Control(pDX, IDC_EFFECT, m_btnEffect);
}

BOOL CMainDlg::OnCommand(int id) {
    struct Entry {
        int id;
        void (CMainDlg::*handler)();
    };
    static constexpr Entry kCommands[] = {
        {IDOK, &CMainDlg::OnBrowse},
        {IDC_EXIT, &CMainDlg::OnExit},
        {IDC_LOAD_3COL, &CMainDlg::OnLoad3Col},
        {IDC_EFFECT, &CMainDlg::OnEffect},
        {IDC_LOAD_4COL, &CMainDlg::OnLoad4Col},
        {IDC_LOAD_5COL, &CMainDlg::OnLoad5Col},
        {IDC_SCAN, &CMainDlg::OnScan},
        {IDC_FILELIST_LOAD, &CMainDlg::OnFilelistLoad},
        {IDC_FILELIST_SAVE, &CMainDlg::OnFilelistSave},
        {IDC_SAVE, &CMainDlg::OnSave},
        {IDC_CHECK_NUMBER, &CMainDlg::OnCheckNumber},
        {IDC_CHECK_STARTLBA, &CMainDlg::OnCheckStartLba},
        {IDC_CHECK_FILESIZE, &CMainDlg::OnCheckFileSize},
        {IDC_CHECK_FILENAME, &CMainDlg::OnCheckFileName},
        {IDC_CHECK_LBAPOS, &CMainDlg::OnCheckLbaPos},
        {IDC_CHECK_COLUMN6, &CMainDlg::OnCheckColumn6},
        {IDM_MOVE_TO_TOP, &CMainDlg::OnMoveToTop},
        {IDM_MOVE_UP, &CMainDlg::OnMoveUp},
        {IDM_MOVE_DOWN, &CMainDlg::OnMoveDown},
        {IDM_MOVE_TO_BOTTOM, &CMainDlg::OnMoveToBottom},
        {IDM_COPY_ROWS, &CMainDlg::OnCopyRows},
    };
    for (const Entry& entry : kCommands) {
        if (entry.id == id) {
            (this->*entry.handler)();
            return TRUE;
        }
    }
    return CDialog::OnCommand(id);
}

BOOL CMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // The system menu ends with a separator and the About entry; the export of sort weights comes before.
    if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
        // The way from a disc image to a listing, from the table's order to the tools, and back to an image.
        pSysMenu->AppendMenu(MF_SEPARATOR);
        pSysMenu->AppendMenu(MF_STRING, IDM_IMPORT_DISC_IMAGE,
                             QStringLiteral("&Import Disc Image...\tCtrl+I"));
        pSysMenu->AppendMenu(MF_STRING, IDM_EXPORT_WEIGHTS,
                             QStringLiteral("&Export Sort Weights...\tCtrl+E"));
        pSysMenu->AppendMenu(MF_STRING, IDM_REBUILD_DISC_IMAGE,
                             QStringLiteral("&Rebuild Disc Image in This Order...\tCtrl+R"));
        pSysMenu->AppendMenu(MF_STRING, IDM_REPLACE_FILE_IN_DISC_IMAGE,
                             QStringLiteral("Re&place File in Disc Image...\tCtrl+P"));
        pSysMenu->AppendMenu(MF_STRING, IDM_ORDER_BY_TRACE,
                             QStringLiteral("&Order by Read Trace...\tCtrl+T"));
        pSysMenu->AppendMenu(MF_STRING, IDM_LAYOUT_MAP, QStringLiteral("&Layout Map...\tCtrl+M"));
        const QString strAboutMenu = LoadStringResource(IDS_ABOUTBOX);
        if (!strAboutMenu.isEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon);

    m_rowMenu.AppendMenu(MF_STRING, IDM_MOVE_TO_TOP, QStringLiteral("Move to &Top\tCtrl+Shift+Home"));
    m_rowMenu.AppendMenu(MF_STRING, IDM_MOVE_UP, QStringLiteral("Move &Up\tCtrl+Shift+Up"));
    m_rowMenu.AppendMenu(MF_STRING, IDM_MOVE_DOWN, QStringLiteral("Move &Down\tCtrl+Shift+Down"));
    m_rowMenu.AppendMenu(MF_STRING, IDM_MOVE_TO_BOTTOM, QStringLiteral("Move to &Bottom\tCtrl+Shift+End"));
    m_rowMenu.AppendMenu(MF_SEPARATOR);
    m_rowMenu.AppendMenu(MF_STRING, IDM_COPY_ROWS, QStringLiteral("&Copy\tCtrl+C"));
    AddMenuShortcuts(m_rowMenu, FALSE);

    DisableListingButtons();

    GetDlgItem(IDC_FOLDER_PATH)->SetWindowText(CurrentDirectory() + QDir::separator());
    GetDlgItem(IDC_TEXT_FILE)->SetWindowText(QStringLiteral("LBA.TXT"));

    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_list.InitColumns(ColumnList());
    // A long sort runs off the window's thread; the bar runs round meanwhile.
    m_list.SetSortTicker([this](int elapsedMs) {
        if (elapsedMs < 0) {
            m_progress.SetPos(0);
            return;
        }
        m_progress.SetRange32(0, kSortBarSteps);
        m_progress.SetPos(elapsedMs % kSortBarRoundMs * kSortBarSteps / kSortBarRoundMs);
        // A tick comes only every few hundredths of a second: each is shown at once.
        m_progress.FlushPos();
    });
    SetUpBanner();
    RestoreWindowState();
    SetUpDesktop();

    // The Exit button, first in the tab order, takes the focus.
    if (CWnd* exitButton = GetDlgItem(IDC_EXIT))
        exitButton->GetSafeWidget()->setFocus();
    return TRUE;
}

void CMainDlg::OnPaint() {
    if (IsIconic()) {
        // A minimized window shows the application icon centred in its client area.
        CPaintDC dc(GetSafeWidget());
        const CRect client = GetClientRect();
        const int cxIcon = 32;
        const int cyIcon = 32;
        const int x = (client.Width() - cxIcon + 1) / 2;
        const int y = (client.Height() - cyIcon + 1) / 2;
        dc.GetPainter()->drawPixmap(x, y, QIcon(m_hIcon).pixmap(cxIcon, cyIcon));
        return;
    }
    {
        CPaintDC dc(GetSafeWidget());
        PaintBanner(dc);
    }
    Default();
}

void CMainDlg::OnDestroy() {
    SaveWindowState();
    CDialog::OnDestroy();
}

void CMainDlg::OnExit() {
    PostQuitMessage(0);
    AfxExitProcess(0);
}

void CMainDlg::DisableListingButtons() {
    for (int id :
         {IDC_LOAD_3COL, IDC_LOAD_4COL, IDC_LOAD_5COL, IDC_FILELIST_LOAD, IDC_FILELIST_SAVE, IDC_SAVE})
        GetDlgItem(id)->EnableWindow(FALSE);
}

QString CMainDlg::FormFullPath() const {
    return GetDlgItem(IDC_FOLDER_PATH)->GetWindowText() + GetDlgItem(IDC_TEXT_FILE)->GetWindowText();
}

QString CMainDlg::FormOutputPath() const {
    return SortedPathIn(GetDlgItem(IDC_FOLDER_PATH)->GetWindowText(),
                        GetDlgItem(IDC_TEXT_FILE)->GetWindowText());
}
