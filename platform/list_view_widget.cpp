#include "platform/list_view_widget.h"

#include <QDrag>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMimeData>
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
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setDragDropOverwriteMode(false);
    setDropIndicatorShown(true);
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

void CListViewWidget::startDrag(Qt::DropActions) {
    if (!selectionModel() || !selectionModel()->hasSelection())
        return;
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    // The view's own format, so that the view takes the drop; the rows stay where they are until then.
    data->setData(m_pModel->mimeTypes().value(0), QByteArray());
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction);
}

int CListViewWidget::DropRowAt(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return m_pModel->rowCount();
    const QRect rect = visualRect(index);
    return pos.y() > rect.center().y() ? index.row() + 1 : index.row();
}

void CListViewWidget::dropEvent(QDropEvent* event) {
    if (event->source() != this) {
        event->ignore();
        return;
    }
    const int before = DropRowAt(event->position().toPoint());
    event->setDropAction(Qt::MoveAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    if (auto* list = dynamic_cast<CListCtrl*>(CWnd::FromWidget(this)))
        list->MoveSelectedRowsBefore(before);
}
