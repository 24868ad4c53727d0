#include "platform/list_view_widget.h"

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
