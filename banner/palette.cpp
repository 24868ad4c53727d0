#include "banner/palette.h"

#include <algorithm>

BOOL CPalette::CreatePalette(const std::vector<PALETTEENTRY>& entries) {
    if (!m_entries.empty() || entries.empty() || entries.size() > 256)
        return FALSE;
    m_entries = entries;
    return TRUE;
}

BOOL CPalette::DeleteObject() {
    if (m_entries.empty())
        return FALSE;
    m_entries.clear();
    m_entries.shrink_to_fit();
    return TRUE;
}

const PALETTEENTRY* CPalette::GetSafeHandle() const {
    return m_entries.empty() ? nullptr : m_entries.data();
}

UINT CPalette::GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const {
    if (!out || start >= m_entries.size())
        return 0;
    const UINT copied = std::min<UINT>(count, static_cast<UINT>(m_entries.size()) - start);
    std::copy_n(m_entries.begin() + start, copied, out);
    return copied;
}
