// A static control: a text or picture label. It can report clicks, run window timers and let its owner
// choose the text colour before each paint.
#pragma once

#include <memory>

#include "platform/window_timers.h"
#include "platform/wnd.h"

class CEventRelay;
class QEvent;
class QObject;

// Style bits of a static control.
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_NOTIFY = 0x0100;
constexpr DWORD SS_CENTERIMAGE = 0x0200;

// Kind of control passed to CtlColor.
constexpr UINT CTLCOLOR_STATIC = 6;
// CtlColor's answer for "paint with the usual text colour".
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

class CStatic : public CWnd {
public:
    CStatic();
    ~CStatic() override;

    // The alignment bits follow the label's text alignment; SS_NOTIFY is kept by this object.
    DWORD GetStyle() const;
    void ModifyStyle(DWORD dwRemove, DWORD dwAdd);

    // Starts or restarts timer nIDEvent of this control; returns nIDEvent, 0 when there is no window.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // The window's end: its timers stop.
    void OnDestroy() override;

    // A click on the control (press and release of the left button inside it); only with SS_NOTIFY.
    virtual void OnClicked() {}
    virtual void OnTimer(UINT_PTR /*nIDEvent*/) {}
    // The text colour for the paint to come; CLR_DEFAULT keeps the usual one. The background always shows
    // through the control.
    virtual COLORREF CtlColor(UINT /*nCtlColor*/) { return CLR_DEFAULT; }

protected:
    void PreSubclassWindow() override;

private:
    // Makes the relay that brings the widget's events and the timer ticks to this object.
    void EnsureRelay();
    bool OnEvent(QObject* watched, QEvent* event);

    std::unique_ptr<CEventRelay> m_pRelay;
    QObject* m_pWatched = nullptr;
    bool m_bNotify = false;
    bool m_bLeftPressed = false;
    CWindowTimers m_timers;
};
