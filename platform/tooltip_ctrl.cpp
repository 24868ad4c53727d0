#include "platform/tooltip_ctrl.h"

#include <QHelpEvent>
#include <QToolTip>

#include "platform/event_relay.h"
#include "platform/wnd.h"

CToolTipCtrl::CToolTipCtrl() = default;

CToolTipCtrl::~CToolTipCtrl() = default;

BOOL CToolTipCtrl::Create(CWnd* pParentWnd) {
    if (m_pRelay || !pParentWnd || !pParentWnd->GetSafeWidget())
        return FALSE;
    m_pRelay = std::make_unique<CEventRelay>(
        [this](QObject* watched, QEvent* event) { return OnEvent(watched, event); });
    return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const QString& text, const CRect* lpRectTool, UINT nIDTool) {
    if (!m_pRelay || !pWnd || !pWnd->GetSafeWidget())
        return FALSE;
    QWidget* widget = pWnd->GetSafeWidget();
    if (FindTool(widget, nIDTool))
        return FALSE;
    Tool tool;
    tool.widget = widget;
    tool.id = nIDTool;
    tool.wholeClient = lpRectTool == nullptr;
    if (lpRectTool)
        tool.rect = *lpRectTool;
    tool.text = text;
    m_tools.push_back(tool);
    m_pRelay->Watch(widget);
    return TRUE;
}

void CToolTipCtrl::UpdateTipText(const QString& text, CWnd* pWnd, UINT nIDTool) {
    if (!pWnd)
        return;
    if (Tool* tool = FindTool(pWnd->GetSafeWidget(), nIDTool))
        tool->text = text;
}

QString CToolTipCtrl::GetToolText(CWnd* pWnd, UINT nIDTool) const {
    const Tool* tool = pWnd ? FindTool(pWnd->GetSafeWidget(), nIDTool) : nullptr;
    return tool ? tool->text : QString();
}

CToolTipCtrl::Tool* CToolTipCtrl::FindTool(const QWidget* widget, UINT nIDTool) {
    for (Tool& tool : m_tools) {
        if (widget && tool.widget == widget && tool.id == nIDTool)
            return &tool;
    }
    return nullptr;
}

const CToolTipCtrl::Tool* CToolTipCtrl::FindTool(const QWidget* widget, UINT nIDTool) const {
    return const_cast<CToolTipCtrl*>(this)->FindTool(widget, nIDTool);
}

bool CToolTipCtrl::OnEvent(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return false;
    auto* help = static_cast<QHelpEvent*>(event);
    for (const Tool& tool : m_tools) {
        if (tool.widget != watched)
            continue;
        const CRect rect =
            tool.wholeClient ? CRect(0, 0, tool.widget->width(), tool.widget->height()) : tool.rect;
        if (!rect.PtInRect(CPoint(help->pos().x(), help->pos().y())))
            continue;
        QToolTip::showText(help->globalPos(), tool.text, tool.widget,
                           QRect(rect.left, rect.top, rect.Width(), rect.Height()));
        return true;
    }
    return false;
}
