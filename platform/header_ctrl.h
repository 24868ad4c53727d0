// The header of a report table: item count, format flags, titles and widths; items marked owner-drawn are
// painted by DrawItem of the object bound to the header.
#pragma once

#include <string>

#include "platform/wnd.h"

class CDC;
class CHeaderView;

constexpr UINT HDI_WIDTH = 0x0001;
constexpr UINT HDI_TEXT = 0x0002;
constexpr UINT HDI_FORMAT = 0x0004;

struct HDITEM {
    UINT mask = 0;
    int cxy = 0;      // width
    std::string text; // title bytes
    int fmt = 0;
};

struct DRAWITEMSTRUCT {
    UINT itemID = 0;
    UINT itemState = 0; // ODS_SELECTED while the item is pressed
    CDC* pDC = nullptr;
    CRect rcItem;
};

class CHeaderCtrl : public CWnd {
public:
    // -1 when the header has no window.
    int GetItemCount() const;
    BOOL GetItem(int index, HDITEM* item) const;
    BOOL SetItem(int index, const HDITEM& item);
    // Paints an owner-drawn item. The plain header paints nothing itself.
    virtual void DrawItem(DRAWITEMSTRUCT* drawItem);

protected:
    CHeaderView* HeaderView() const;
};
