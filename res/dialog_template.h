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
    Picture,  // static picture; `resource` names the bitmap
    Icon,     // static icon; `resource` names the icon
    Text,     // static text
    Progress,
};

// Style bits the platform layer reads from a template item.
enum DlgItemStyle : unsigned {
    DIS_NONE = 0,
    DIS_CENTER = 0x0001,       // centred text (SS_CENTER)
    DIS_RIGHT = 0x0002,        // right-aligned text (SS_RIGHT)
    DIS_CENTERIMAGE = 0x0200,  // vertically centred text (SS_CENTERIMAGE)
};

struct DlgItemTemplate {
    int id;  // -1 for controls without an identifier
    DlgItemKind kind;
    std::string_view caption;
    int x, y, cx, cy;  // dialog units
    unsigned style = DIS_NONE;
    int resource = 0;
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    int cx, cy;  // dialog units
    std::vector<DlgItemTemplate> items;
};

// The template with the given identifier, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

// Dialog units to pixels with the base units of the templates' 8-point font (6 × 13 per 4 × 8 units).
inline int DluToPixelsX(int x) { return (x * 6 + 2) / 4; }
inline int DluToPixelsY(int y) { return (y * 13 + 4) / 8; }
