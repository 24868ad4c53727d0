// A modal dialog built from a template in res/: its controls keep the template's identifiers, clicks go
// through the dialog's command table, and window events reach the dialog's handlers.
#pragma once

#include <memory>
#include <vector>

#include <QRect>
#include <QSize>

#include "platform/menu.h"
#include "platform/window_timers.h"
#include "platform/wnd.h"

class CDialog;
class CDialogWidget;
class QEvent;
class QByteArray;

// The kind of a size change given to OnSize.
constexpr UINT SIZE_RESTORED = 0;
constexpr UINT SIZE_MINIMIZED = 1;
constexpr UINT SIZE_MAXIMIZED = 2;

class CDataExchange {
public:
    explicit CDataExchange(CDialog* dialog) : m_pDlgWnd(dialog) {}
    CDialog* m_pDlgWnd;
};

// Binds a member control object to the dialog's child with the given identifier.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(int templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the window, runs OnInitDialog and the modal loop until EndDialog; returns the end code.
    virtual INT_PTR DoModal();
    // Creates the window and runs OnInitDialog without a modal loop (tests and the benchmark drive it so).
    BOOL CreateModeless();
    // Ends the window: OnDestroy of the dialog, then of its bound controls, then the widgets go.
    void DestroyWindow();
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();

    // A click on the control `id`; returns FALSE when the command table has no entry for it.
    virtual BOOL OnCommand(int id);

    // Window events. The defaults let the platform handle the event (Default()).
    virtual void OnPaint();
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    // A right click, or the menu key, on the control pWnd (the window itself for its background); point
    // is on the screen. The default shows the system menu over the background.
    virtual void OnContextMenu(CWnd* pWnd, CPoint point);
    // The dialog's client area is now cx by cy; the controls that grow with it have already moved.
    virtual void OnSize(UINT nType, int cx, int cy);
    void OnDestroy() override;

    // The window's size, position and maximised state as a record to keep between runs, and its
    // restoring; a record that cannot be read changes nothing (FALSE). A restored size is never below
    // the template's, and the controls that grow are laid out for it at once.
    QByteArray GetWindowGeometry() const;
    BOOL SetWindowGeometry(const QByteArray& record);

    // Starts or restarts window timer nIDEvent; returns nIDEvent, 0 on failure.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // The window's system menu (shown as its context menu on this platform).
    CMenu* GetSystemMenu(BOOL bRevert);
    // Makes the shortcuts the entries of `menu` name work anywhere in the window: they send the entry's
    // identifier to OnSysCommand (bSysCommand) or to OnCommand. The system menu's shortcuts are made once
    // OnInitDialog has run.
    void AddMenuShortcuts(const CMenu& menu, BOOL bSysCommand);

    // The platform's own handling of the event being handled.
    void Default();

    BOOL IsIconic() const;
    void CenterWindow();
    void SetIcon(const QString& resourcePath);

    // For the widget: binding of a control object, so DestroyWindow can end it with the dialog.
    void RegisterBoundControl(CWnd* control);

private:
    friend class CDialogWidget;
    void BuildFromTemplate();
    void ShowSystemMenu(const QPoint& globalPos);
    // The control under the widget `child` (the bound object of it or of the nearest parent that has one).
    CWnd* ControlOf(QWidget* child) const;
    // Moves the controls that grow with the dialog to fit its current size.
    void LayOutGrowingControls();

    // A control whose right or bottom edge follows the dialog's, with its template rectangle in pixels.
    struct GrowingControl {
        QWidget* widget;
        QRect rect;
        bool growX;
        bool growY;
    };

    int m_nTemplateId;
    CWnd* m_pParentWnd;
    CDialogWidget* m_pDialogWidget = nullptr;
    QEvent* m_pCurrentEvent = nullptr;
    CMenu m_systemMenu;
    std::vector<CWnd*> m_boundControls;
    std::vector<GrowingControl> m_growingControls;
    QSize m_templateSize;
    CWindowTimers m_timers;
};
