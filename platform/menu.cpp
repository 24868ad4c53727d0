#include "platform/menu.h"

BOOL CMenu::AppendMenu(UINT flags, UINT id, const QString& text) {
    m_entries.push_back(Entry{flags, id, text});
    return TRUE;
}
