#include "platform/list_view_widget.h"

#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

#include "platform/header_view.h"
#include "platform/list_ctrl.h"
#include "platform/list_model.h"

CListViewWidget::CListViewWidget(QWidget* parent)
    : QTableView(parent), m_pModel(new CListModel(this)), m_pHeader(new CHeaderView(this)) {
    setHorizontalHeader(m_pHeader);
    setModel(m_pModel);
    setShowGrid(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    connect(m_pHeader, &QHeaderView::sectionClicked, this, [this](int section) {
        if (auto* list = dynamic_cast<CListCtrl*>(CWnd::FromWidget(this)))
            list->NotifyColumnClick(section);
    });
}

QString CListViewWidget::CutOffText(const QModelIndex& index) const {
    if (!index.isValid())
        return QString();
    QString text = index.data(Qt::DisplayRole).toString();
    // The item delegate leaves this margin on each side of the text.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const QString measured = text.left(kToolTipLength);
    if (fontMetrics().horizontalAdvance(measured) + 2 * margin <= columnWidth(index.column()))
        return QString();
    if (text.size() > kToolTipLength)
        text = measured + QChar(0x2026);
    return text;
}

bool CListViewWidget::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = CutOffText(index);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
    return true;
}
