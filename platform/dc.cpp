#include "platform/dc.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include "platform/text_alignment.h"

namespace {

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

COLORREF FromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

} // namespace

COLORREF GetSysColor(int index) {
    const QPalette palette = QApplication::palette();
    switch (index) {
    case COLOR_BTNFACE:
        return FromQColor(palette.color(QPalette::Button));
    case COLOR_BTNSHADOW:
        return FromQColor(palette.color(QPalette::Dark));
    case COLOR_BTNTEXT:
        return FromQColor(palette.color(QPalette::ButtonText));
    case COLOR_BTNHIGHLIGHT:
        return FromQColor(palette.color(QPalette::Light));
    default:
        return FromQColor(palette.color(QPalette::Window));
    }
}

int CDC::SaveDC() {
    m_pPainter->save();
    m_savedStates.push_back(State{m_position, m_penColour});
    return static_cast<int>(m_savedStates.size());
}

BOOL CDC::RestoreDC(int level) {
    if (level <= 0 || level > static_cast<int>(m_savedStates.size()))
        return FALSE;
    while (static_cast<int>(m_savedStates.size()) >= level) {
        m_pPainter->restore();
        m_position = m_savedStates.back().position;
        m_penColour = m_savedStates.back().pen;
        m_savedStates.pop_back();
    }
    return TRUE;
}

void CDC::IntersectClipRect(const CRect& rect) {
    m_pPainter->setClipRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), Qt::IntersectClip);
}

void CDC::FillSolidRect(const CRect& rect, COLORREF colour) {
    m_pPainter->fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToQColor(colour));
}

COLORREF CDC::SelectPenColour(COLORREF colour) {
    return std::exchange(m_penColour, colour);
}

CPoint CDC::MoveTo(int x, int y) {
    return std::exchange(m_position, CPoint(x, y));
}

BOOL CDC::LineTo(int x, int y) {
    // Pixels of the line from the start point up to, but not including, the end point (Bresenham).
    const QColor colour = ToQColor(m_penColour);
    int x0 = m_position.x, y0 = m_position.y;
    const int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
    const int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (x0 != x || y0 != y) {
        m_pPainter->fillRect(x0, y0, 1, 1, colour);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    m_position = CPoint(x, y);
    return TRUE;
}

int CDC::DrawText(const QString& text, const CRect& rect, UINT format) {
    const QRect box(rect.left, rect.top, rect.Width(), rect.Height());
    const Qt::Alignment alignment = TextAlignment(format & DT_CENTER, format & DT_RIGHT, format & DT_VCENTER);
    QString shown = text;
    if (format & DT_END_ELLIPSIS)
        shown = m_pPainter->fontMetrics().elidedText(text, Qt::ElideRight, std::max(0, box.width()));
    int flags = static_cast<int>(alignment) | Qt::TextSingleLine;
    // The text is clipped to the rectangle unless DT_NOCLIP; "&" marks a mnemonic unless DT_NOPREFIX.
    if (format & DT_NOCLIP)
        flags |= Qt::TextDontClip;
    if (!(format & DT_NOPREFIX))
        flags |= Qt::TextShowMnemonic;
    m_pPainter->drawText(box, flags, shown);
    return m_pPainter->fontMetrics().height();
}

CPaintDC::CPaintDC(QWidget* widget) : CDC(new QPainter(widget)) {}

CPaintDC::~CPaintDC() {
    delete m_pPainter;
}
