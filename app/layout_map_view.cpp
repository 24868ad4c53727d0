#include "app/layout_map_view.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

CLayoutMapView::CLayoutMapView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(400, 160);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CLayoutMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_picture.Paint(painter, size());
}

void CLayoutMapView::Zoom(int x, int steps) {
    const std::uint64_t fullFirst = m_picture.FullFirstBlock(), fullEnd = m_picture.FullEndBlock();
    const std::uint64_t first = m_picture.FirstBlock(), end = m_picture.EndBlock();
    const std::uint64_t at = m_picture.BlockAtX(size(), x);
    const double scale = std::pow(0.8, steps);
    const double span =
        std::clamp(static_cast<double>(end - first) * scale, 8.0, static_cast<double>(fullEnd - fullFirst));
    // The block under the pointer stays under it.
    const double share = static_cast<double>(at - first) / static_cast<double>(end - first);
    double newFirst = static_cast<double>(at) - share * span;
    newFirst = std::clamp(newFirst, static_cast<double>(fullFirst), static_cast<double>(fullEnd) - span);
    const auto from = static_cast<std::uint64_t>(std::floor(newFirst));
    const auto to =
        std::min(fullEnd, std::max(from + 1, static_cast<std::uint64_t>(std::ceil(newFirst + span))));
    if (from <= fullFirst && to >= fullEnd)
        m_picture.ResetBlockRange();
    else
        m_picture.SetBlockRange(from, to);
    update();
}

void CLayoutMapView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        Zoom(static_cast<int>(event->position().x()), steps);
    event->accept();
}

void CLayoutMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const std::optional<std::uint32_t> file = m_picture.FileAt(size(), event->position().toPoint());
    if (file && m_onFileClicked)
        m_onFileClicked(*file);
}
