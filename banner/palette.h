// A logical palette: the colour entries a palette-based display maps into its system palette. Qt's paint
// devices are all true-colour, so the entries are kept but never selected into a device.
#pragma once

#include <vector>

#include "base/afx_types.h"

class CPalette {
public:
    CPalette() = default;
    CPalette(const CPalette&) = delete;
    CPalette& operator=(const CPalette&) = delete;

    // Takes 1 to 256 entries as the palette. FALSE when a palette is already held or the count is out of
    // range; the object is then left as it was.
    BOOL CreatePalette(const std::vector<PALETTEENTRY>& entries);
    // Drops the palette; FALSE when there was none.
    BOOL DeleteObject();

    // The first entry, or nullptr while no palette is held.
    const PALETTEENTRY* GetSafeHandle() const;
    int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
    // Copies up to `count` entries from `start` into `out`; returns the number copied.
    UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const;

private:
    std::vector<PALETTEENTRY> m_entries;
};
