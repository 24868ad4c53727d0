// A window as the system's classes see it: a wrapper over one Qt widget, found by its control identifier.
#pragma once

#include <map>
#include <memory>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "base/afx_types.h"

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    QWidget* GetSafeWidget() const { return m_pWidget.data(); }
    bool IsWindow() const { return !m_pWidget.isNull(); }

    // Binds this object to a widget (the widget's control identifier is kept on it), then runs
    // PreSubclassWindow so the object can adjust the window it now owns.
    void SubclassWidget(QWidget* widget);
    // Unbinds without destroying the widget.
    void Detach();
    virtual void PreSubclassWindow() {}

    // The window's own end: called while the widget still exists, before it is deleted.
    virtual void OnDestroy() {}

    int GetDlgCtrlID() const;
    // The child with the given control identifier: the bound object when one is bound, else a wrapper owned
    // by this window. nullptr when there is no such child.
    CWnd* GetDlgItem(int id) const;

    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    void SetWindowText(const QString& text);
    QString GetWindowText() const;
    void ShowWindow(bool show);

    // Client rectangle (0, 0, width, height) and window rectangle in screen coordinates.
    CRect GetClientRect() const;
    CRect GetWindowRect() const;
    // Moves and resizes the window; coordinates are in the parent's client area.
    void MoveWindow(const CRect& rect);

    void Invalidate();
    void InvalidateRect(const CRect& rect);
    // Repaints invalid parts now.
    void UpdateWindow();
    // Repaints the rectangle now (the whole client area when rect is null).
    void RedrawWindow(const CRect* rect = nullptr);

    int MessageBox(const QString& text, const QString& caption, UINT type = MB_OK);

    // The bound object of a widget, or nullptr.
    static CWnd* FromWidget(QWidget* widget);
    // Marks a widget with its control identifier.
    static void SetWidgetId(QWidget* widget, int id);
    static int WidgetId(const QWidget* widget);

protected:
    QPointer<QWidget> m_pWidget;

private:
    mutable std::map<int, std::unique_ptr<CWnd>> m_tempChildren;
};
