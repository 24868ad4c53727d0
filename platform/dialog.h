// A modal dialog built from a template in res/: its controls keep the template's identifiers, clicks go
// through the dialog's command table, and window events reach the dialog's handlers.
#pragma once

#include <memory>
#include <vector>

#include "platform/menu.h"
#include "platform/window_timers.h"
#include "platform/wnd.h"

class CDialog;
class CDialogWidget;
class QEvent;

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
    void OnDestroy() override;

    // Starts or restarts window timer nIDEvent; returns nIDEvent, 0 on failure.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // The window's system menu (shown as its context menu on this platform).
    CMenu* GetSystemMenu(BOOL bRevert);

    // The platform's own handling of the event being handled.
    void Default();

    BOOL IsIconic() const;
    void CenterWindow();
    void SetIcon(const QString& resourcePath);

    // For the widget: binding of a control object, so DestroyWindow can end it with the dialog.
    void RegisterBoundControl(CWnd* control);
    int GetTemplateId() const { return m_nTemplateId; }

private:
    friend class CDialogWidget;
    void BuildFromTemplate();
    void ShowSystemMenu(const QPoint& globalPos);

    int m_nTemplateId;
    CWnd* m_pParentWnd;
    CDialogWidget* m_pDialogWidget = nullptr;
    QEvent* m_pCurrentEvent = nullptr;
    CMenu m_systemMenu;
    std::vector<CWnd*> m_boundControls;
    CWindowTimers m_timers;
};
