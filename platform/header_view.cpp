#include "platform/header_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/dc.h"
#include "platform/header_ctrl.h"

CHeaderView::CHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setStretchLastSection(false);
    setMinimumSectionSize(0);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int CHeaderView::SectionFormat(int section) const {
    return section >= 0 && section < m_formats.size() ? m_formats[section] : 0;
}

void CHeaderView::SetSectionFormat(int section, int format) {
    if (section < 0)
        return;
    if (section >= m_formats.size())
        m_formats.resize(section + 1, 0);
    m_formats[section] = format;
}

void CHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    auto* owner = dynamic_cast<CHeaderCtrl*>(CWnd::FromWidget(const_cast<CHeaderView*>(this)));
    if (!owner || !(SectionFormat(logicalIndex) & HDF_OWNERDRAW))
        return QHeaderView::paintSection(painter, rect, logicalIndex);
    CDC dc(painter);
    DRAWITEMSTRUCT item;
    item.itemID = static_cast<UINT>(logicalIndex);
    item.itemState = m_nPressedSection == logicalIndex ? ODS_SELECTED : 0;
    item.pDC = &dc;
    item.rcItem = CRect(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height());
    owner->DrawItem(&item);
}

void CHeaderView::mousePressEvent(QMouseEvent* event) {
    const int section = logicalIndexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && section >= 0 && cursor().shape() != Qt::SplitHCursor) {
        m_nPressedSection = section;
        viewport()->update();
    }
    QHeaderView::mousePressEvent(event);
}

void CHeaderView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_nPressedSection >= 0) {
        m_nPressedSection = -1;
        viewport()->update();
    }
    QHeaderView::mouseReleaseEvent(event);
}
