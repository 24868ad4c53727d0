#include "table/column_list_ctrl.h"

#include <string>
#include <thread>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <QByteArray>
#include <QDataStream>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QString>
#include <QTimer>

#include "base/atoi.h"
#include "base/parallel_parts.h"
#include "platform/list_model.h"
#include "platform/win_app.h"
#include "sorting/row_compare.h"
#include "sorting/sort_key_column.h"
#include "sorting/text_collator.h"

namespace {

// Where the width record lives in the settings store; the entry is the list's control identifier.
const QString kWidthSection = QStringLiteral("ListCtrls");

// Texts are compared under the user's locale, the same for every table of the process.
const CTextCollator& UserCollator() {
    static const CTextCollator collator;
    return collator;
}

// The text of column nColumn in a row's record; empty for a row without a record.
std::string_view CellText(const RowRecord* record, int nColumn) {
    return record ? record->Cell(nColumn) : std::string_view();
}

} // namespace

CColumnListCtrl::CColumnListCtrl() = default;

CColumnListCtrl::~CColumnListCtrl() {
    // Records normally go when the window does; a table that never had a window frees them here.
    FreeAllRecords();
    m_header.Detach();
}

void CColumnListCtrl::PreSubclassWindow() {
    CListCtrl::PreSubclassWindow();
    if (CHeaderCtrl* header = GetHeaderCtrl())
        m_header.SubclassWidget(header->GetSafeWidget());
}

bool CColumnListCtrl::InitColumns(std::string_view columnList) {
    std::size_t p = 0;
    while (p <= columnList.size()) {
        const std::size_t comma = columnList.find(',', p);
        if (comma == std::string_view::npos)
            return true;
        const std::string_view title = columnList.substr(p, comma - p);
        const std::size_t semicolon = columnList.find(';', comma + 1);
        const std::size_t widthEnd = semicolon == std::string_view::npos ? columnList.size() : semicolon;
        const int width = Atoi(columnList.substr(comma + 1, widthEnd - comma - 1));
        const int index = m_nColumnCount++;
        if (InsertColumn(index, title, LVCFMT_LEFT, width) < 0)
            return false;
        if (semicolon == std::string_view::npos)
            return true;
        p = semicolon + 1;
    }
    return true;
}

int CColumnListCtrl::AddRow(std::span<const std::string_view> texts) {
    if (m_nColumnCount <= 0 || static_cast<int>(texts.size()) != m_nColumnCount)
        return -1;
    const int row = InsertItem(texts);
    if (row < 0)
        return -1;
    RowRecord& record = m_records.emplace_back();
    record.ppszCells = GetItemCells(row);
    SetItemData(row, reinterpret_cast<DWORD_PTR>(&record));
    return row;
}

void CColumnListCtrl::FreeAllRecords() {
    // No row keeps the address of a record that is gone.
    ClearAllItemData();
    m_records.clear();
    m_records.shrink_to_fit();
}

BOOL CColumnListCtrl::DeleteAllRows() {
    FreeAllRecords();
    ++m_nClearCount;
    ClearSortIndicator();
    return DeleteAllItems();
}

void CColumnListCtrl::ClearSortIndicator() {
    m_nSortColumn = -1;
    m_bSortAscending = TRUE;
    m_header.SetSortIndicator(-1, TRUE);
}

void CColumnListCtrl::OnRowsMoved() {
    ClearSortIndicator();
}

void CColumnListCtrl::OnColumnClick(NMLISTVIEW* pNMLV, LRESULT* pResult) {
    const int nColumn = pNMLV->iSubItem;
    const BOOL bAscending = nColumn == m_nSortColumn ? !m_bSortAscending : TRUE;
    SortByColumn(nColumn, bAscending);
    *pResult = 0;
}

BOOL CColumnListCtrl::SortByColumn(int nColumn, BOOL bAscending) {
    if (m_bSorting)
        return FALSE;
    m_bSortAscending = bAscending;
    m_nSortColumn = nColumn;
    m_header.SetSortIndicator(nColumn, bAscending);
    if (nColumn < 0 || nColumn >= m_nColumnCount)
        return FALSE;

    // The order SortItems(CompareRows, this) gives, with each row's kind, number, date key and text rank
    // worked out once instead of in every comparison, from the texts of the records. Records are read in
    // the order they were made, which is the order they lie in memory. The sort reads the cells' stored
    // bytes, which a snapshot keeps alive and unchanged whatever the window does meanwhile.
    std::vector<DWORD_PTR> data;
    std::vector<std::uint32_t> index;
    GetItemDataInAddingOrder(data, index);
    std::vector<CPackedCells> cells(data.size());
    std::vector<std::uint32_t> order(data.size());
    for (std::uint32_t made = 0; made < data.size(); ++made) {
        if (const auto* record = reinterpret_cast<const RowRecord*>(data[made]))
            cells[made] = record->ppszCells;
        order[index[made]] = made;
    }
    data = {};
    const CListRows::Snapshot keepAlive = TakeSnapshot();
    const auto textOf = [&cells, nColumn](std::uint32_t made) { return cells[made].Cell(nColumn); };
    std::vector<std::uint32_t> sorted;
    const bool threaded = static_cast<int>(cells.size()) >= kThreadedSortRows;
    if (!threaded) {
        sorted = SortedRowOrder(order, textOf, bAscending != FALSE, UserCollator());
    } else {
        // The window's events go on while the sort runs: paints, the progress bar, Exit and the close box.
        // Commands that change the table meanwhile win over the sort's result.
        const std::uint64_t clearCount = m_nClearCount;
        const std::vector<std::uint32_t> displayOrder = Model()->Rows().GetOrder();
        m_bSorting = true;
        QEventLoop loop;
        std::thread worker = StartOrRun([&] {
            sorted = SortedRowOrder(order, textOf, bAscending != FALSE, UserCollator());
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        QElapsedTimer clock;
        clock.start();
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [this, &clock] {
            if (m_fnSortTicker)
                m_fnSortTicker(static_cast<int>(clock.elapsed()));
        });
        ticker.start(kSortTickMs);
        loop.exec();
        if (worker.joinable())
            worker.join();
        ticker.stop();
        m_bSorting = false;
        if (m_fnSortTicker)
            m_fnSortTicker(-1);
        if (clearCount != m_nClearCount || !Model() || Model()->Rows().GetOrder() != displayOrder)
            return FALSE;
    }
    for (std::uint32_t& made : sorted)
        made = index[made];
    index = {};
    order = {};
    cells = {};
    const BOOL bSorted = SortItemsInOrder(sorted);
    sorted = {};
#if defined(__GLIBC__)
    // The keys of a sort take as much memory as the texts; give it back to the system now.
    malloc_trim(0);
#endif
    if (threaded)
        UpdateWindow();
    return bSorted;
}

int CColumnListCtrl::CompareRows(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort) {
    const auto* pList = reinterpret_cast<const CColumnListCtrl*>(lParamSort);
    const int nColumn = pList->m_nSortColumn;
    if (nColumn < 0 || nColumn >= pList->m_nColumnCount)
        return 0;
    return CompareCells(CellText(reinterpret_cast<const RowRecord*>(lParam1), nColumn),
                        CellText(reinterpret_cast<const RowRecord*>(lParam2), nColumn),
                        pList->m_bSortAscending != FALSE, UserCollator());
}

void CColumnListCtrl::LoadColumnWidths() {
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    std::vector<unsigned char> stored;
    if (!app->GetProfileBinary(kWidthSection, QString::asprintf("%d", GetDlgCtrlID()), stored))
        return;
    if (stored.empty())
        return;
    const QByteArray record(reinterpret_cast<const char*>(stored.data()),
                            static_cast<qsizetype>(stored.size()));
    QDataStream ar(record);
    m_header.Serialize(ar);
    m_header.Invalidate();
}

void CColumnListCtrl::SaveColumnWidths() {
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    QByteArray record;
    {
        QDataStream ar(&record, QIODevice::WriteOnly);
        m_header.Serialize(ar);
    }
    // A header that could not be read gives no record; storing that would only erase the last good one.
    if (record.isEmpty())
        return;
    app->WriteProfileBinary(kWidthSection, QString::asprintf("%d", GetDlgCtrlID()),
                            reinterpret_cast<const unsigned char*>(record.constData()),
                            static_cast<std::size_t>(record.size()));
}

void CColumnListCtrl::OnDestroy() {
    FreeAllRecords();
    CListCtrl::OnDestroy();
}

BOOL CColumnListCtrl::ReorderRows(const std::vector<std::uint32_t>& positions) {
    if (!SortItemsInOrder(positions))
        return FALSE;
    m_nSortColumn = -1;
    m_bSortAscending = TRUE;
    m_header.SetSortIndicator(-1, TRUE);
    return TRUE;
}
