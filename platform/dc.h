// A device context: drawing on a widget through QPainter with the operations the system's classes use.
#pragma once

#include <vector>

#include <QString>

#include "base/afx_types.h"

class QPainter;
class QWidget;

// System colour indices.
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;

// The colour of a system colour index in the current palette of the application.
COLORREF GetSysColor(int index);

class CDC {
public:
    explicit CDC(QPainter* painter) : m_pPainter(painter) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    QPainter* GetPainter() const { return m_pPainter; }

    // Saves the state (clip, pen, position); returns a level for RestoreDC.
    int SaveDC();
    BOOL RestoreDC(int level);
    // Limits drawing to the rectangle (intersected with the clip already in force).
    void IntersectClipRect(const CRect& rect);
    void FillSolidRect(const CRect& rect, COLORREF colour);
    // Solid pen of one pixel; returns the colour that was selected before.
    COLORREF SelectPenColour(COLORREF colour);
    CPoint MoveTo(int x, int y);
    // A line from the current position to (x, y), the start point included and the end point excluded.
    BOOL LineTo(int x, int y);
    // Draws text in the rectangle with the DT_ flags (single line, alignment, vertical centring, ellipsis).
    int DrawText(const QString& text, const CRect& rect, UINT format);

protected:
    QPainter* m_pPainter;

private:
    struct State {
        CPoint position;
        COLORREF pen;
    };
    std::vector<State> m_savedStates;
    CPoint m_position;
    COLORREF m_penColour = 0;
};

// Painting inside a paint event of the widget.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(QWidget* widget);
    ~CPaintDC() override;
};
