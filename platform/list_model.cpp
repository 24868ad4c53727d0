#include "platform/list_model.h"

#include <QTimer>

#include "platform/display_text.h"

CListModel::CListModel(QObject* parent) : QAbstractTableModel(parent) {}

int CListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_nViewRows; }

int CListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_nViewRows)
        return {};
    if (role == Qt::DisplayRole)
        return DecodeForDisplay(m_rows.GetText(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole) {
        const int format = ColumnFormat(index.column());
        const Qt::Alignment h = format == 2 ? Qt::AlignHCenter : format == 1 ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(h | Qt::AlignVCenter);
    }
    return {};
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(m_columns.size()))
        return {};
    const std::string& title = m_columns[static_cast<std::size_t>(section)].title;
    if (role == Qt::DisplayRole)
        return DecodeForDisplay(title);
    if (role == Qt::UserRole)
        return QByteArray(title.data(), static_cast<qsizetype>(title.size()));
    return {};
}

bool CListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (orientation != Qt::Horizontal || role != Qt::UserRole || section < 0 ||
        section >= static_cast<int>(m_columns.size()))
        return false;
    const QByteArray bytes = value.toByteArray();
    m_columns[static_cast<std::size_t>(section)].title.assign(bytes.constData(),
                                                              static_cast<std::size_t>(bytes.size()));
    emit headerDataChanged(Qt::Horizontal, section, section);
    return true;
}

int CListModel::InsertColumn(int index, std::string title, int format) {
    const int count = static_cast<int>(m_columns.size());
    if (index < 0 || index > count)
        index = count;
    beginInsertColumns(QModelIndex(), index, index);
    m_columns.insert(m_columns.begin() + index, Column{std::move(title), format});
    endInsertColumns();
    return index;
}

int CListModel::ColumnFormat(int column) const {
    return column >= 0 && column < static_cast<int>(m_columns.size())
               ? m_columns[static_cast<std::size_t>(column)].format
               : 0;
}

int CListModel::AppendRow(std::string_view firstText) {
    const int row = m_rows.Append(firstText);
    ScheduleSync();
    return row;
}

bool CListModel::SetText(int row, int column, std::string_view text) {
    if (!m_rows.SetText(row, column, text))
        return false;
    if (row < m_nViewRows)
        emit dataChanged(index(row, column), index(row, column));
    return true;
}

void CListModel::Clear() {
    beginResetModel();
    m_rows.Clear();
    m_nViewRows = 0;
    endResetModel();
}

bool CListModel::Reorder(std::vector<std::uint32_t> order) {
    SyncRows();
    emit layoutAboutToBeChanged();
    const bool done = m_rows.SetOrder(std::move(order));
    emit layoutChanged();
    return done;
}

void CListModel::ScheduleSync() {
    if (m_bSyncScheduled)
        return;
    m_bSyncScheduled = true;
    QTimer::singleShot(0, this, [this] { SyncRows(); });
}

void CListModel::SyncRows() {
    m_bSyncScheduled = false;
    const int count = m_rows.GetCount();
    if (count <= m_nViewRows)
        return;
    beginInsertRows(QModelIndex(), m_nViewRows, count - 1);
    m_nViewRows = count;
    endInsertRows();
}
