// The Layout Map window: a window of its own, not modal, with the layout strip of the main table's rows
// (the selected ones highlighted, a click on a bar selects its row) and the access plot of a trace, and
// "Save Picture..." for SVG or PNG.
#pragma once

#include <vector>

#include <QMetaObject>
#include <QWidget>

#include "disc/read_trace.h"
#include "disc/trace_layout.h"

class CColumnListCtrl;
class CLayoutMapView;
class QAbstractItemView;

// The table's rows as files, in the order shown: their StartLba and FileSize cells.
std::vector<TracedFile> TableFiles(CColumnListCtrl& list);

class CLayoutMapWnd : public QWidget {
public:
    CLayoutMapWnd(CColumnListCtrl& list, QWidget* owner);
    ~CLayoutMapWnd() override;

    // Reads the table's rows (their blocks, in the table's order) and selection again; with reads, the
    // access plot shows them.
    void Refresh(const std::vector<TraceRead>* reads);
    // Reads the table's selection again.
    void RefreshSelection();

    // Writes the picture as it stands to `path` (SVG or PNG by its extension); false after telling why.
    bool SavePicture(const QString& path);
    void OnSavePicture();

    CLayoutMapView& View() { return *m_pView; }

private:
    QAbstractItemView* TableView() const;
    void SelectRow(std::uint32_t row);

    CColumnListCtrl& m_list;
    CLayoutMapView* m_pView;
    QMetaObject::Connection m_selectionConnection;
};
