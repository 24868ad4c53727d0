#include "platform/list_ctrl.h"

#include "platform/header_view.h"
#include "platform/list_model.h"
#include "platform/list_view_widget.h"

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

CListViewWidget* CListCtrl::View() const { return qobject_cast<CListViewWidget*>(GetSafeWidget()); }

CListModel* CListCtrl::Model() const {
    CListViewWidget* view = View();
    return view ? view->Model() : nullptr;
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

int CListCtrl::GetItemCount() const {
    CListModel* model = Model();
    return model ? model->Rows().GetCount() : 0;
}

int CListCtrl::InsertItem(int, std::string_view text) {
    CListModel* model = Model();
    return model ? model->AppendRow(text) : -1;
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

BOOL CListCtrl::DeleteAllItems() {
    CListModel* model = Model();
    if (!model)
        return FALSE;
    model->Clear();
    return TRUE;
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
