// A static text that works as a link: link colours, an underlined font, a pointing-hand cursor, a tooltip
// with the target, a hover colour while the pointer is over it, a visited colour once clicked, and a click
// that opens the target.
#pragma once

#include <optional>

#include <QCursor>
#include <QFont>
#include <QString>

#include "platform/static_ctrl.h"
#include "platform/tooltip_ctrl.h"

// Show command for OpenTarget.
constexpr int SW_SHOW = 5;

class CLinkStatic : public CStatic {
public:
    CLinkStatic();
    ~CLinkStatic() override;

    // Stores the target; with a window, fits it to its text again and shows the new target in the tooltip.
    // A link without a caption takes the target as its caption.
    void SetTarget(const QString& strTarget);
    const QString& GetTarget() const { return m_strTarget; }
    // Stores the visited state; with a window, repaints it.
    void SetVisited(BOOL bVisited = TRUE);
    // Asks the desktop to open the target; returns its result code, above 32 on success. On failure a
    // warning box tells the user. The desktop decides how the program that opens the target shows itself.
    INT_PTR OpenTarget(const QString& strTarget, int nShowCmd);
    // Shrinks or grows the control to the extent of its text in the link font, following its alignment.
    void FitToText();

    void OnClicked() override;
    // Hover test: is the pointer inside the control? Then an immediate repaint.
    void OnTimer(UINT_PTR nIDEvent) override;
    // Hovering wins over visited, visited over normal.
    COLORREF CtlColor(UINT nCtlColor) override;
    void OnDestroy() override;

    COLORREF m_clrNormal = RGB(0, 0, 255);
    COLORREF m_clrVisited = RGB(85, 26, 139);
    COLORREF m_clrHover = RGB(255, 0, 0);
    BOOL m_bHovering = FALSE;
    BOOL m_bVisited = FALSE;
    BOOL m_bUnderline = TRUE;
    BOOL m_bFitToText = TRUE;
    QString m_strTarget;
    QFont m_fontLink;
    std::optional<QCursor> m_hHandCursor;
    CToolTipCtrl m_tip;

    static constexpr UINT_PTR kHoverTimer = 1;
    static constexpr UINT kHoverPeriodMs = 100;
    static constexpr UINT kTipToolId = 1;

protected:
    void PreSubclassWindow() override;

private:
    void LoadHandCursor();
};
