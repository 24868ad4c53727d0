#include "platform/list_ctrl.h"

#include <algorithm>

#include <QItemSelectionModel>

#include "platform/header_view.h"
#include "platform/list_model.h"
#include "platform/list_view_widget.h"
#include "sorting/stable_sort.h"

CListCtrl::CListCtrl() = default;

CListCtrl::~CListCtrl() {
    Detach();
    m_headerWrapper.Detach();
}

BOOL CListCtrl::CreateStandalone() {
    if (IsWindow())
        return FALSE;
    m_pOwnWidget = std::make_unique<CListViewWidget>();
    m_pOwnWidget->resize(560, 240);
    SubclassWidget(m_pOwnWidget.get());
    return TRUE;
}

CListViewWidget* CListCtrl::View() const {
    return qobject_cast<CListViewWidget*>(GetSafeWidget());
}

CListModel* CListCtrl::Model() const {
    const QWidget* widget = GetSafeWidget();
    if (widget && widget == m_pModelWidget && m_pModel)
        return m_pModel.data();
    CListViewWidget* view = View();
    m_pModel = view ? view->Model() : nullptr;
    m_pModelWidget = widget;
    return m_pModel.data();
}

int CListCtrl::InsertColumn(int nCol, std::string_view heading, int nFormat, int nWidth, int) {
    CListModel* model = Model();
    if (!model)
        return -1;
    const int index = model->InsertColumn(nCol, std::string(heading), nFormat);
    View()->Header()->SetSectionFormat(index, nFormat & (HDF_RIGHT | HDF_CENTER));
    if (nWidth >= 0)
        View()->Header()->resizeSection(index, nWidth);
    return index;
}

int CListCtrl::GetColumnWidth(int nCol) const {
    CListViewWidget* view = View();
    return view ? view->Header()->sectionSize(nCol) : 0;
}

BOOL CListCtrl::SetColumnWidth(int nCol, int cx) {
    CListViewWidget* view = View();
    if (!view || nCol < 0 || nCol >= view->Header()->count())
        return FALSE;
    view->Header()->resizeSection(nCol, std::max(0, cx));
    return TRUE;
}

int CListCtrl::GetItemCount() const {
    CListModel* model = Model();
    return model ? model->Rows().GetCount() : 0;
}

int CListCtrl::InsertItem(int, std::string_view text) {
    CListModel* model = Model();
    return model ? model->AppendRow(text) : -1;
}

int CListCtrl::InsertItem(std::span<const std::string_view> texts) {
    CListModel* model = Model();
    return model && !texts.empty() ? model->AppendRow(texts) : -1;
}

void CListCtrl::ReserveItems(std::size_t nItems) {
    if (CListModel* model = Model())
        model->Rows().Reserve(nItems);
}

void CListCtrl::ClearAllItemData() {
    if (CListModel* model = Model())
        model->Rows().ClearAllData();
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, std::string_view text) {
    CListModel* model = Model();
    return model && model->SetText(nItem, nSubItem, text) ? TRUE : FALSE;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR data) {
    CListModel* model = Model();
    return model && model->Rows().SetData(nItem, data) ? TRUE : FALSE;
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    CListModel* model = Model();
    return model ? model->Rows().GetData(nItem) : 0;
}

std::string CListCtrl::GetItemText(int nItem, int nSubItem) const {
    CListModel* model = Model();
    return model ? std::string(model->Rows().GetText(nItem, nSubItem)) : std::string();
}

int CListCtrl::GetSelectionMark() const {
    const CListViewWidget* view = View();
    if (!view || !view->selectionModel())
        return -1;
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return -1;
    int first = rows.front().row();
    for (const QModelIndex& index : rows)
        first = std::min(first, index.row());
    return first;
}

CPackedCells CListCtrl::GetItemCells(int nItem) const {
    CListModel* model = Model();
    if (!model || nItem < 0 || nItem >= model->Rows().GetCount())
        return {};
    return model->Rows().GetCellsById(model->Rows().GetOrder()[static_cast<std::size_t>(nItem)]);
}

void CListCtrl::UpdateWindow() {
    if (CListModel* model = Model())
        model->SyncRows();
    CWnd::UpdateWindow();
}

BOOL CListCtrl::DeleteAllItems() {
    CListModel* model = Model();
    if (!model)
        return FALSE;
    model->Clear();
    return TRUE;
}

BOOL CListCtrl::SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData) {
    CListModel* model = Model();
    if (!model || !pfnCompare)
        return FALSE;
    // Each row travels with its data word, so the comparison needs no lookup into the rows.
    struct Item {
        CListRows::DataWord data;
        std::uint32_t id;
    };
    const std::vector<std::uint32_t>& order = model->Rows().GetOrder();
    std::vector<Item> items(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        items[i] = Item{model->Rows().GetDataById(order[i]), order[i]};
    const auto parameter = static_cast<LPARAM>(dwData);
    StableSortItems(std::span<Item>(items), [pfnCompare, parameter](const Item& first, const Item& second) {
        return pfnCompare(static_cast<LPARAM>(first.data), static_cast<LPARAM>(second.data), parameter);
    });
    std::vector<std::uint32_t> sorted(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        sorted[i] = items[i].id;
    return model->Reorder(std::move(sorted)) ? TRUE : FALSE;
}

void CListCtrl::GetItemDataInAddingOrder(std::vector<DWORD_PTR>& data,
                                         std::vector<std::uint32_t>& index) const {
    data.clear();
    index.clear();
    CListModel* model = Model();
    if (!model)
        return;
    const CListRows& rows = model->Rows();
    const std::vector<std::uint32_t>& order = rows.GetOrder();
    data.resize(order.size());
    index.resize(order.size());
    for (std::uint32_t id = 0; id < order.size(); ++id)
        data[id] = rows.GetDataById(id);
    for (std::size_t i = 0; i < order.size(); ++i)
        index[order[i]] = static_cast<std::uint32_t>(i);
}

BOOL CListCtrl::SortItemsInOrder(const std::vector<std::uint32_t>& positions) {
    CListModel* model = Model();
    if (!model)
        return FALSE;
    const std::vector<std::uint32_t>& order = model->Rows().GetOrder();
    if (positions.size() != order.size())
        return FALSE;
    std::vector<std::uint32_t> sorted(positions.size());
    for (std::size_t k = 0; k < positions.size(); ++k) {
        if (positions[k] >= order.size())
            return FALSE;
        sorted[k] = order[positions[k]];
    }
    // Reorder refuses anything but a permutation of the rows, so a repeated position changes nothing.
    return model->Reorder(std::move(sorted)) ? TRUE : FALSE;
}

std::vector<std::uint32_t> CListCtrl::GetSelectedRows() const {
    std::vector<std::uint32_t> rows;
    CListViewWidget* view = View();
    if (!view || !view->selectionModel())
        return rows;
    // Ranges, not indices: a selection of many rows is a few ranges.
    for (const QItemSelectionRange& range : view->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(static_cast<std::uint32_t>(row));
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CListCtrl::SelectRows(std::span<const std::uint32_t> rows) {
    CListViewWidget* view = View();
    if (!view || !view->selectionModel())
        return;
    CListModel* model = Model();
    model->SyncRows();
    const int lastColumn = model->columnCount() - 1;
    QItemSelection selection;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t end = i + 1;
        while (end < rows.size() && rows[end] == rows[end - 1] + 1)
            ++end;
        selection.append(QItemSelectionRange(model->index(static_cast<int>(rows[i]), 0),
                                             model->index(static_cast<int>(rows[end - 1]), lastColumn)));
        i = end;
    }
    QItemSelectionModel* selectionModel = view->selectionModel();
    if (!rows.empty()) {
        const QModelIndex current = model->index(static_cast<int>(rows.front()), 0);
        selectionModel->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        view->scrollTo(current);
    }
    selectionModel->select(selection, QItemSelectionModel::ClearAndSelect);
}

BOOL CListCtrl::ApplyRowMove(const RowMoveResult& result) {
    if (CListViewWidget* view = View())
        view->selectionModel()->clear();
    if (!SortItemsInOrder(result.positions))
        return FALSE;
    SelectRows(result.moved);
    OnRowsMoved();
    return TRUE;
}

BOOL CListCtrl::MoveSelectedRows(RowMove move) {
    const std::vector<std::uint32_t> rows = GetSelectedRows();
    if (rows.empty())
        return FALSE;
    return ApplyRowMove(MoveChosenRows(static_cast<std::uint32_t>(GetItemCount()), rows, move));
}

BOOL CListCtrl::MoveSelectedRowsBefore(int before) {
    const std::vector<std::uint32_t> rows = GetSelectedRows();
    if (rows.empty() || before < 0)
        return FALSE;
    return ApplyRowMove(MoveChosenRowsBefore(static_cast<std::uint32_t>(GetItemCount()), rows,
                                             static_cast<std::uint32_t>(before)));
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
    const DWORD previous = m_dwExtendedStyle;
    m_dwExtendedStyle = dwNewStyle;
    if (CListViewWidget* view = View())
        view->setSelectionBehavior((dwNewStyle & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows
                                                                       : QAbstractItemView::SelectItems);
    return previous;
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() {
    CListViewWidget* view = View();
    if (!view)
        return nullptr;
    if (CWnd* bound = CWnd::FromWidget(view->Header()))
        return dynamic_cast<CHeaderCtrl*>(bound);
    m_headerWrapper.SubclassWidget(view->Header());
    return &m_headerWrapper;
}

CListRows::Snapshot CListCtrl::TakeSnapshot() const {
    CListModel* model = Model();
    return model ? model->Rows().TakeSnapshot() : CListRows().TakeSnapshot();
}

void CListCtrl::NotifyColumnClick(int column) {
    NMLISTVIEW notification;
    notification.iSubItem = column;
    LRESULT result = 0;
    OnColumnClick(&notification, &result);
}

void CListCtrl::OnColumnClick(NMLISTVIEW*, LRESULT*) {}
