// A tooltip: tools are rectangles of windows, each with a text shown while the pointer rests over it.
#pragma once

#include <memory>
#include <vector>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "base/afx_types.h"

class CEventRelay;
class CWnd;
class QEvent;
class QObject;

class CToolTipCtrl {
public:
    CToolTipCtrl();
    ~CToolTipCtrl();
    CToolTipCtrl(const CToolTipCtrl&) = delete;
    CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;

    // Makes the tooltip for tools of the parent window and of its children.
    BOOL Create(CWnd* pParentWnd);
    BOOL IsWindow() const { return m_pRelay != nullptr; }

    // Adds tool nIDTool over pWnd: the rectangle in pWnd's client coordinates, the whole client area when
    // lpRectTool is null.
    BOOL AddTool(CWnd* pWnd, const QString& text, const CRect* lpRectTool, UINT nIDTool);
    void UpdateTipText(const QString& text, CWnd* pWnd, UINT nIDTool);
    // The text of a tool; empty when there is no such tool.
    QString GetToolText(CWnd* pWnd, UINT nIDTool) const;

private:
    struct Tool {
        QPointer<QWidget> widget;
        UINT id = 0;
        bool wholeClient = true;
        CRect rect;
        QString text;
    };
    Tool* FindTool(const QWidget* widget, UINT nIDTool);
    const Tool* FindTool(const QWidget* widget, UINT nIDTool) const;
    bool OnEvent(QObject* watched, QEvent* event);

    std::unique_ptr<CEventRelay> m_pRelay;
    std::vector<Tool> m_tools;
};
