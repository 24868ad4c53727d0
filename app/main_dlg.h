// The main window: folder and file fields, Scan, the loaders and savers, the column boxes, the progress
// bar and the table.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

#include "app/dib_image.h"
#include "banner/water_effect.h"
#include "disc/read_trace.h"
#include "platform/button.h"
#include "platform/dialog.h"
#include "platform/progress_ctrl.h"
#include "table/column_list_ctrl.h"

class CDC;
enum class ListingLayout;
struct ColumnChoice;

class CMainDlg : public CDialog {
public:
    explicit CMainDlg(CWnd* pParent = nullptr);
    ~CMainDlg() override;

    // A file named on the command line, before the window is made: the fields show it as choosing it with
    // Browse does.
    void SetFileToOpen(const QString& folderText, const QString& fileName);

    // For tests and automation: what Order by Read Trace does once its picker has named the trace file.
    // Orders the rows by the trace at strTrace and tells the seek figures; false after telling why not.
    bool OrderByReadTrace(const QString& strTrace);

    // For tests: the window as it is when the banner's pictures could not be made from the resources.
    void DropBannerPictures();

    // The banner's ripple timer.
    static constexpr UINT_PTR kEffectTimer = 1971;

protected:
    // Reached by the platform's dispatch through CDialog.
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(int id) override;
    void OnPaint() override;
    void OnDestroy() override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnContextMenu(CWnd* pWnd, CPoint point) override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;

private:
    // Command handlers.
    void OnExit();
    void OnBrowse();
    void OnScan();
    void OnLoad3Col();
    void OnLoad4Col();
    void OnLoad5Col();
    void OnFilelistLoad();
    void OnSave();
    void OnFilelistSave();
    void OnCheckNumber();
    void OnCheckStartLba();
    void OnCheckFileSize();
    void OnCheckFileName();
    void OnCheckLbaPos();
    void OnCheckColumn6();
    void OnEffect();
    void OnExportSortWeights();
    // Disc image entries of the system menu.
    void OnImportDiscImage();
    void OnRebuildDiscImage();
    void OnReplaceFileInDiscImage();
    // Read trace entries of the system menu.
    void OnOrderByReadTrace();
    void OnLayoutMap();
    // The table's row commands: the selected rows move, or go to the clipboard as listing lines.
    void OnMoveToTop();
    void OnMoveUp();
    void OnMoveDown();
    void OnMoveToBottom();
    void OnCopyRows();
    // The table's menu: the row commands, then the entries of the system menu but Close.
    CMenu BuildTableMenu();
    // A file dropped on the window: the fields show it as choosing it with Browse does.
    void OnDropFile(const QString& path);

    CButton m_btnColumn6;
    CButton m_btnLbaPos;
    CButton m_btnFileName;
    CButton m_btnFileSize;
    CButton m_btnStartLba;
    CButton m_btnNumber;
    CProgressCtrl m_progress;
    CColumnListCtrl m_list;
    CButton m_btnEffect;
    uint32_t m_nEffectTimer = 0;
    CDibImage m_imgBannerSource;
    CDibImage m_imgBanner;
    CDibImage m_imgFooter;
    CWaterEffect m_water;
    int m_nCheckEffect = 0;
    int m_nCheckColumn6 = 0;
    int m_nCheckLbaPos = 0;
    int m_nCheckFileName = 0;
    int m_nCheckFileSize = 0;
    int m_nCheckStartLba = 0;
    int m_nCheckNumber = 0;
    // Not a loaded icon: the resource path of the application icon, made into an icon where it is shown.
    QString m_hIcon;

    // The progress bar during a sort runs from empty to full in this time, again and again.
    static constexpr int kSortBarSteps = 1000;
    static constexpr int kSortBarRoundMs = 2000;

    // The row commands with their mnemonics and shortcuts.
    CMenu m_rowMenu;
    // Runs the disc image entries of the system menu from OnSysCommand (FALSE for other ids).
    BOOL OnDiscCommand(UINT nID);
    // Runs the read trace entries of the system menu from OnSysCommand (FALSE for other ids).
    BOOL OnTraceCommand(UINT nID);
    // The reads of the last trace the rows were ordered by, and the Layout Map window (closing deletes it).
    std::vector<TraceRead> m_traceReads;
    QPointer<QWidget> m_pLayoutMap;
    // What choosing a file does: the fields show it, the listing buttons wait for Scan, the table empties.
    void ChooseFile(const QString& folderText, const QString& fileName);
    // Disables the six buttons that load or save a listing: they wait for Scan to enable those that fit.
    void DisableListingButtons();
    // The file named on the command line, the drop target and the names that assistive technology reads.
    void SetUpDesktop();
    QString m_strFolderToOpen;
    QString m_strFileToOpen;

    // The banner's images and ripple, made once at start-up, and their painting in the restored window.
    void SetUpBanner();
    void PaintBanner(CDC& dc);
    // Centres the banner in a window cx wide and keeps the footer at the bottom of a window cy high.
    void LayOutBanner(int cx, int cy);
    // The banner's left edge and the footer's top in the window.
    int m_nBannerLeft = 0;
    int m_nFooterTop = 0;

    // The window's size and position and the column widths from the last run, and their keeping.
    void RestoreWindowState();
    void SaveWindowState();
    // Gives FileName the pixels by which the table grew or shrank since it was last fitted.
    void FitFileNameColumn();
    // The table's width when FileName was last fitted, and its width in the template's window.
    int m_nFittedListWidth = 0;
    int m_nTemplateListWidth = 0;

    struct LoaderParams;
    void LoadListing(const LoaderParams& params);
    // Says "Nothing to save: load the listing first" and returns true when the table has no rows.
    bool RefuseEmptySave();
    // The columns whose boxes are ticked.
    ColumnChoice CheckedColumns() const;
    // The folder text followed directly by the file name text.
    QString FormFullPath() const;
    // The folder text, "Sorted-", then the file name text.
    QString FormOutputPath() const;
};
