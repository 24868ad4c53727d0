// The Qt model behind a report list: columns and the rows of CListRows. Appended rows reach the view in
// batches, a few times a second, so adding a million rows stays cheap: each batch costs the view work
// that grows with its row count.
#pragma once

#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QHash>
#include <QTimer>

#include "model/list_rows.h"

class CListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;
    // Rows can be dragged and dropped between rows; the view moves them itself.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;

    // Inserts a column at `index` (clamped to the column count); returns its index.
    int InsertColumn(int index, std::string title, int format);
    int ColumnFormat(int column) const;

    CListRows& Rows() { return m_rows; }
    const CListRows& Rows() const { return m_rows; }

    int AppendRow(std::string_view firstText);
    int AppendRow(std::span<const std::string_view> texts);
    bool SetText(int row, int column, std::string_view text);
    void Clear();
    bool Reorder(std::vector<std::uint32_t> order);

    // Tells the view of rows appended since the last time.
    void SyncRows();

    // A cell longer than this is shown cut to about this many bytes, with an ellipsis; its stored bytes
    // stay whole.
    static constexpr std::size_t kShownBytes = 4096;
    // How long appended rows may wait before the view learns of them.
    static constexpr int kSyncIntervalMs = 250;

private:
    void ScheduleSync();
    // The text shown for a cell: decoded at every paint when short, decoded once when long.
    QString ShownText(int row, int column) const;

    struct Column {
        std::string title;
        int format = 0;
    };
    std::vector<Column> m_columns;
    CListRows m_rows;
    int m_nViewRows = 0;
    QTimer m_syncTimer;
    // Shown texts of long cells by row id and column, made on first paint.
    mutable QHash<quint64, QString> m_longCells;
};
