#include "app/link_static.h"

#include <QCursor>
#include <QFontMetrics>
#include <QWidget>

#include "platform/message_box.h"
#include "platform/shell_execute.h"
#include "platform/win_app.h"

CLinkStatic::CLinkStatic() = default;

CLinkStatic::~CLinkStatic() = default;

void CLinkStatic::PreSubclassWindow() {
    ModifyStyle(0, SS_NOTIFY);

    if (m_strTarget.isEmpty())
        m_strTarget = GetWindowText();
    if (GetWindowText().isEmpty())
        SetWindowText(m_strTarget);

    QWidget* widget = GetSafeWidget();
    if (widget) {
        m_fontLink = widget->font();
        m_fontLink.setUnderline(m_bUnderline != FALSE);
        widget->setFont(m_fontLink);
    }

    FitToText();

    LoadHandCursor();
    if (widget && m_hHandCursor)
        widget->setCursor(*m_hHandCursor);

    if (m_tip.Create(this))
        m_tip.AddTool(this, m_strTarget, nullptr, kTipToolId);

    SetTimer(kHoverTimer, kHoverPeriodMs);

    CStatic::PreSubclassWindow();
}

void CLinkStatic::LoadHandCursor() {
    if (!m_hHandCursor)
        m_hHandCursor = QCursor(Qt::PointingHandCursor);
}

void CLinkStatic::SetTarget(const QString& strTarget) {
    m_strTarget = strTarget;
    if (!IsWindow())
        return;
    // A link without a caption would shrink to nothing and could not be clicked.
    if (GetWindowText().isEmpty())
        SetWindowText(m_strTarget);
    FitToText();
    m_tip.UpdateTipText(m_strTarget, this, kTipToolId);
}

void CLinkStatic::SetVisited(BOOL bVisited) {
    m_bVisited = bVisited;
    if (IsWindow())
        RedrawWindow();
}

INT_PTR CLinkStatic::OpenTarget(const QString& strTarget, int /*nShowCmd*/) {
    const INT_PTR result = ShellExecuteOpen(strTarget);
    if (result <= 32) {
        // The target is named: the code alone does not say what could not be opened.
        const QString text =
            QStringLiteral("Unable to open hyperlink:\n\n") + strTarget + QStringLiteral("\n\n") +
            QStringLiteral("Unknown error (%1) occurred.").arg(static_cast<qlonglong>(result));
        MessageBoxRequest request;
        request.owner = GetSafeWidget() ? GetSafeWidget()->window() : nullptr;
        request.text = text;
        request.caption = AfxGetApp() ? AfxGetApp()->m_strAppName : QStringLiteral("Quarrow");
        request.type = MB_OK | MB_ICONEXCLAMATION;
        ShowMessageBox(request);
    }
    return result;
}

void CLinkStatic::FitToText() {
    QWidget* widget = GetSafeWidget();
    if (!widget || !m_bFitToText)
        return;
    const QRect geometry = widget->geometry();
    CRect rect(geometry.left(), geometry.top(), geometry.left() + geometry.width(),
               geometry.top() + geometry.height());

    const QFontMetrics metrics(m_fontLink);
    const int cx = metrics.horizontalAdvance(GetWindowText());
    const int cy = metrics.height();

    const DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        const int dy = (rect.Height() - cy) / 2;
        rect.top += dy;
        rect.bottom -= dy;
    } else {
        rect.bottom = rect.top + cy;
    }
    if (style & SS_CENTER) {
        const int dx = (rect.Width() - cx) / 2;
        rect.left += dx;
        rect.right -= dx;
    } else if (style & SS_RIGHT) {
        rect.left = rect.right - cx;
    } else {
        rect.right = rect.left + cx;
    }
    MoveWindow(rect);
}

void CLinkStatic::OnClicked() {
    m_bVisited = TRUE;
    SetVisited(TRUE);
    OpenTarget(m_strTarget, SW_SHOW);
}

void CLinkStatic::OnTimer(UINT_PTR) {
    const QPoint pos = QCursor::pos();
    m_bHovering = GetWindowRect().PtInRect(CPoint(pos.x(), pos.y())) ? TRUE : FALSE;
    RedrawWindow();
}

COLORREF CLinkStatic::CtlColor(UINT) {
    if (m_bHovering)
        return m_clrHover;
    if (m_bVisited)
        return m_clrVisited;
    return m_clrNormal;
}

void CLinkStatic::OnDestroy() {
    KillTimer(kHoverTimer);
    CStatic::OnDestroy();
}
