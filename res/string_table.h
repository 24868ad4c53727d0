// The program's string resources, by identifier.
#pragma once

#include <QString>

#include "base/afx_types.h"

// The string with the given identifier; empty when there is none.
QString LoadStringResource(UINT nID);
