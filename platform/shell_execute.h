// Opening a document or an address with the program the desktop associates with it.
#pragma once

#include <QString>

#include "base/afx_types.h"

// Result codes at or below 32 mean failure.
constexpr INT_PTR SE_ERR_FNF = 2;      // the file does not exist
constexpr INT_PTR SE_ERR_NOASSOC = 31; // nothing could open the target
constexpr INT_PTR SE_OPENED = 33;      // opened

// Opens the target: an address with a scheme ("file:", "mailto:", "https:", ...) or a local path. Returns
// a code above 32 on success. An empty target, and a local file that does not exist, give SE_ERR_FNF
// without asking the desktop.
INT_PTR ShellExecuteOpen(const QString& target);
