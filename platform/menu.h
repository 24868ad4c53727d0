// A window's system menu: the entries shown by the window's context menu on this platform.
#pragma once

#include <vector>

#include <QString>

#include "platform/afx_types.h"

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;

class CMenu {
public:
    struct Entry {
        UINT flags = MF_STRING;
        UINT id = 0;
        QString text;
    };

    BOOL AppendMenu(UINT flags, UINT id = 0, const QString& text = QString());
    const std::vector<Entry>& Entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};
