#include "platform/list_model.h"

#include <QByteArrayView>

#include "base/display_text.h"

namespace {

quint64 CellKey(std::uint32_t id, int column) {
    return (quint64{id} << 16) | static_cast<quint16>(column);
}

// The first bytes of a long text as shown, with an ellipsis: decoded as the whole text would be, cut
// before a character that does not fit whole.
QString ShortenedText(std::string_view bytes) {
    std::string_view head = bytes.substr(0, CListModel::kShownBytes);
    if (QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8()) {
        // Back up to the first byte of a character.
        std::size_t end = head.size();
        while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
            --end;
        return QString::fromUtf8(head.data(), static_cast<qsizetype>(end)) + QChar(0x2026);
    }
    return QString::fromLatin1(head.data(), static_cast<qsizetype>(head.size())) + QChar(0x2026);
}

} // namespace

CListModel::CListModel(QObject* parent) : QAbstractTableModel(parent) {
    m_syncTimer.setSingleShot(true);
    m_syncTimer.setInterval(kSyncIntervalMs);
    connect(&m_syncTimer, &QTimer::timeout, this, [this] { SyncRows(); });
}

QString CListModel::ShownText(int row, int column) const {
    const std::string_view text = m_rows.GetText(row, column);
    if (text.size() <= kShownBytes)
        return DecodeForDisplay(text);
    const quint64 key = CellKey(m_rows.GetOrder()[static_cast<std::size_t>(row)], column);
    auto it = m_longCells.constFind(key);
    if (it == m_longCells.constEnd())
        it = m_longCells.insert(key, ShortenedText(text));
    return *it;
}

int CListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_nViewRows;
}

int CListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_nViewRows)
        return {};
    if (role == Qt::DisplayRole)
        return ShownText(index.row(), index.column());
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

int CListModel::AppendRow(std::span<const std::string_view> texts) {
    const int row = m_rows.AppendCells(texts);
    ScheduleSync();
    return row;
}

bool CListModel::SetText(int row, int column, std::string_view text) {
    if (!m_rows.SetText(row, column, text))
        return false;
    if (!m_longCells.isEmpty())
        m_longCells.remove(CellKey(m_rows.GetOrder()[static_cast<std::size_t>(row)], column));
    if (row < m_nViewRows)
        emit dataChanged(index(row, column), index(row, column));
    return true;
}

Qt::ItemFlags CListModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.isValid() ? flags | Qt::ItemIsDragEnabled : flags | Qt::ItemIsDropEnabled;
}

Qt::DropActions CListModel::supportedDropActions() const {
    return Qt::MoveAction;
}

void CListModel::Clear() {
    beginResetModel();
    m_rows.Clear();
    m_longCells.clear();
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
    if (!m_syncTimer.isActive())
        m_syncTimer.start();
}

void CListModel::SyncRows() {
    m_syncTimer.stop();
    const int count = m_rows.GetCount();
    if (count <= m_nViewRows)
        return;
    beginInsertRows(QModelIndex(), m_nViewRows, count - 1);
    m_nViewRows = count;
    endInsertRows();
}
