// The header of the report table: paints the items of sorted columns itself, with an etched arrow on the
// current sort column, and writes and reads the column width record.
#pragma once

#include "platform/header_ctrl.h"

class QDataStream;

class CColumnHeaderCtrl : public CHeaderCtrl {
public:
    CColumnHeaderCtrl() = default;
    ~CColumnHeaderCtrl() override = default;

    // Marks column nColumn as the sort column with the given direction, makes its item owner-drawn (it stays
    // so) and repaints the header.
    void SetSortIndicator(int nColumn, BOOL bAscending);

    // Storing (a stream whose device is open for writing only): writes the width record of the items.
    // Loading: reads a width record and applies its widths when it fits the items; a record that does not
    // fit, or ends early, changes nothing.
    virtual void Serialize(QDataStream& ar);

    // Paints an owner-drawn item: button face, the title inset (and shifted while pressed), and on the sort
    // column the arrow in the highlight and shadow colours.
    void DrawItem(DRAWITEMSTRUCT* pDrawItem) override;

    int GetSortColumn() const { return m_nSortColumn; }
    BOOL IsSortAscending() const { return m_bSortAscending; }

protected:
    int m_nSortColumn = -1;
    BOOL m_bSortAscending = TRUE;

private:
    // Repaints every item, background included.
    void InvalidateItems();
};
