// The Qt view behind a report list: a table view over CListModel with the header CHeaderView, no grid,
// whole-row selection of any number of rows, rows dragged to a new place, and a hidden row header.
#pragma once

#include <QTableView>

class CHeaderView;
class CListModel;

class CListViewWidget : public QTableView {
    Q_OBJECT
public:
    explicit CListViewWidget(QWidget* parent = nullptr);

    CListModel* Model() const { return m_pModel; }
    CHeaderView* Header() const { return m_pHeader; }

    // The full text of a cell that its column cuts off (at most kToolTipLength characters of it), or an
    // empty text when the cell shows whole.
    QString CutOffText(const QModelIndex& index) const;
    static constexpr int kToolTipLength = 1024;
    // The row before which a drop at `pos` (in the viewport) puts the dragged rows; the row count for
    // the end.
    int DropRowAt(const QPoint& pos) const;

protected:
    // A cell that is cut off shows its full text in a tooltip.
    bool viewportEvent(QEvent* event) override;
    // A drag of the selected rows carries no copy of them: a drop inside the view moves them there.
    void startDrag(Qt::DropActions supportedActions) override;
    void dropEvent(QDropEvent* event) override;

private:
    CListModel* m_pModel;
    CHeaderView* m_pHeader;
};
