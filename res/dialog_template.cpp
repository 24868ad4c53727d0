#include "res/dialog_template.h"

#include "res/resource.h"

namespace {

using K = DlgItemKind;

const DialogTemplate kMainDialog{
    IDD_MAIN_DIALOG,
    "Quarrow",
    383,
    411,
    {
        {IDC_EXIT, K::DefPushButton, "Exit", 326, 158, 50, 14},
        {IDC_LIST, K::ListView, "", 7, 240, 369, 143, DIS_GROW_X | DIS_GROW_Y},
        {IDC_FOLDER_PATH, K::Edit, "", 7, 80, 258, 15},
        {IDOK, K::PushButton, "Browse...", 279, 113, 44, 14},
        {IDC_TEXT_FILE, K::Edit, "", 7, 113, 257, 14},
        {IDC_LOAD_3COL, K::PushButton, "Load 3 col", 19, 149, 46, 14},
        {IDC_EFFECT, K::CheckBox, "Effect", 336, 136, 40, 13},
        {-1, K::Picture, "", 335, 65, 43, 66, DIS_NONE, IDB_PICTURE},
        {-1, K::GroupBox, "Columns", 13, 132, 190, 64},
        {-1, K::Text, "Folder Path", 7, 69, 259, 10},
        {-1, K::Text, "Text File", 7, 102, 259, 10},
        {IDC_SCAN, K::PushButton, "Scan", 280, 80, 43, 14},
        {-1, K::GroupBox, "Filelist", 230, 132, 50, 54},
        {IDC_FILELIST_LOAD, K::PushButton, "Load", 236, 149, 38, 14},
        {IDC_FILELIST_SAVE, K::PushButton, "Save", 235, 165, 38, 14},
        {IDC_SAVE, K::PushButton, "Save ", 79, 174, 45, 17},
        {IDC_PROGRESS, K::Progress, "", 7, 225, 368, 11, DIS_GROW_X},
        {IDC_CHECK_NUMBER, K::CheckBox, "Number", 19, 210, 41, 10},
        {IDC_CHECK_STARTLBA, K::CheckBox, "StartLba", 68, 210, 43, 10},
        {IDC_CHECK_FILESIZE, K::CheckBox, "FileSize", 124, 210, 40, 10},
        {IDC_CHECK_FILENAME, K::CheckBox, "FileName", 179, 210, 45, 10},
        {IDC_CHECK_LBAPOS, K::CheckBox, "LbaPos", 240, 210, 40, 10},
        {IDC_CHECK_COLUMN6, K::CheckBox, "Column6", 295, 210, 43, 10},
        {IDC_LOAD_4COL, K::PushButton, "Load 4 col", 79, 149, 46, 14},
        {IDC_LOAD_5COL, K::PushButton, "Load 5 col", 144, 149, 50, 14},
    },
    true,
};

const DialogTemplate kAboutDialog{
    IDD_ABOUTBOX,
    "About Quarrow",
    234,
    304,
    {
        {-1, K::GroupBox, "Greetings", 23, 88, 192, 48},
        {IDC_LINK_WEB, K::Text, "User guide", 52, 114, 46, 11, DIS_CENTER | DIS_CENTERIMAGE},
        {IDC_LINK_EMAIL, K::Text, "Write to the maintainers", 123, 114, 81, 10, DIS_CENTER | DIS_CENTERIMAGE},
        {-1, K::Icon, "", 19, 16, 20, 20, DIS_NONE, IDR_MAINFRAME},
        {IDOK, K::PushButton, "OK", 169, 14, 50, 14},
        {-1, K::Text, "Quarrow V@" QUARROW_VERSION, 54, 17, 95, 8},
        {-1, K::Text, "Reorders disc image listings.", 52, 35, 92, 11},
        {-1, K::Text, "Sort a listing by any column, then save it in that order as Sorted-<name>.", 52, 54,
         152, 21},
        {-1, K::Text,
         "The menu of the table and of the window: Import Disc Image... (Ctrl+I) writes the listing of an "
         "image; Export Sort Weights... (Ctrl+E) writes the shown order for mkisofs -sort or xorrisofs "
         "--sort-weight-list; Rebuild Disc Image in This Order... (Ctrl+R) writes a new image whose files "
         "lie "
         "in the shown order; Replace File in Disc Image... (Ctrl+P) gives the selected row's file new "
         "content and keeps every other block where it was; Order by Read Trace... (Ctrl+T) puts the rows in "
         "the order a read trace first reads them; Layout Map... (Ctrl+M) draws where the rows' files lie. "
         "Move to Top, Move Up, Move Down, Move to Bottom (Ctrl+Shift+Home, Up, Down, End) and dragging put "
         "the selected rows in an order of your own; Copy (Ctrl+C) puts them on the clipboard as listing "
         "lines.",
         23, 142, 192, 104},
        {-1, K::Text,
         "From the shell, quarrow-cli does the same without a display: sort, export, check, import, "
         "rebuild, replace, which, diff, place, pack, order, seek and plot; for example quarrow-cli sort "
         "LBA.TXT --by FileName. quarrow-cli COMMAND --help gives a command's options, and its manual page "
         "examples of each.",
         23, 250, 192, 64},
    },
};

} // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    if (id == IDD_MAIN_DIALOG)
        return &kMainDialog;
    if (id == IDD_ABOUTBOX)
        return &kAboutDialog;
    return nullptr;
}
