// The Qt view behind a report list: a table view over CListModel with the header CHeaderView, no grid,
// whole-row selection and a hidden row header.
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

private:
    CListModel* m_pModel;
    CHeaderView* m_pHeader;
};
