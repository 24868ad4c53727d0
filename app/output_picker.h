// The picker that asks where a new file goes: a save dialog that starts at a suggested path and offers one
// kind of file besides "All files".
#pragma once

#include <QString>

class CWnd;

// Asks where to write a file, starting at `suggested`, offering `description` with `pattern` and then every
// file. A non-empty title replaces the dialog's own. Empty when the user cancels.
QString PickOutputFile(CWnd* owner, const QString& suggested, const char* description, const char* pattern,
                       const QString& title = QString());
