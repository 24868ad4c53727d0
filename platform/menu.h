// A menu of entries with identifiers: a window's system menu, or a pop-up menu. An entry's text may name
// its mnemonic with '&' and its shortcut after a tab, as in "&Import...\tCtrl+I".
#pragma once

#include <vector>

#include <QString>

#include "base/afx_types.h"

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;
// TrackPopupMenu returns the chosen entry's identifier instead of sending it.
constexpr UINT TPM_RETURNCMD = 0x0100;

class CWnd;

class CMenu {
public:
    struct Entry {
        UINT flags = MF_STRING;
        UINT id = 0;
        QString text;
    };

    BOOL AppendMenu(UINT flags, UINT id = 0, const QString& text = QString());
    const std::vector<Entry>& Entries() const { return m_entries; }

    // Shows the menu at the screen point (x, y) over pWnd until the user chooses or leaves it; returns the
    // chosen entry's identifier, 0 when none was chosen. Only TPM_RETURNCMD is supported.
    UINT TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd) const;

    // The text an entry shows (before the tab) and the shortcut it names (after it; empty for none).
    static QString EntryLabel(const QString& text);
    static QString EntryShortcut(const QString& text);

private:
    std::vector<Entry> m_entries;
};
