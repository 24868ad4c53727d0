// Dialog templates as data: the controls of each dialog with their positions in dialog units.
#pragma once

#include <string_view>
#include <vector>

enum class DlgItemKind {
    PushButton,
    DefPushButton,
    CheckBox,
    Edit,
    ListView,
    GroupBox,
    Picture, // static picture; `resource` names the bitmap
    Icon,    // static icon; `resource` names the icon
    Text,    // static text
    Progress,
};

// Style bits the platform layer reads from a template item.
enum DlgItemStyle : unsigned {
    DIS_NONE = 0,
    DIS_CENTER = 0x0001,      // centred text (SS_CENTER)
    DIS_RIGHT = 0x0002,       // right-aligned text (SS_RIGHT)
    DIS_CENTERIMAGE = 0x0200, // vertically centred text (SS_CENTERIMAGE)
    // In a dialog that can be resized: the control's right (bottom) edge keeps its distance from the
    // dialog's right (bottom) edge, so the control grows with the dialog.
    DIS_GROW_X = 0x10000,
    DIS_GROW_Y = 0x20000,
};

struct DlgItemTemplate {
    int id; // -1 for controls without an identifier
    DlgItemKind kind;
    std::string_view caption;
    int x, y, cx, cy; // dialog units
    unsigned style = DIS_NONE;
    int resource = 0;
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    int cx, cy; // dialog units
    std::vector<DlgItemTemplate> items;
    // The user can resize and maximise the dialog; its template size is the smallest it gets.
    bool resizable = false;
};

// The template with the given identifier, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

// Dialog units to pixels with the base units of the templates' 8-point font (6 × 13 per 4 × 8 units).
inline int DluToPixelsX(int x) {
    return (x * 6 + 2) / 4;
}
inline int DluToPixelsY(int y) {
    return (y * 13 + 4) / 8;
}
