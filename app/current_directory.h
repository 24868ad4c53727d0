// The process's working folder, read the same way by start-up and by Browse.
#pragma once

#include <QString>

// The current working directory, without a trailing separator. When it cannot be read (its folder was
// removed, say), writes "_getcwd error: " and the system's reason on the standard error stream and
// returns an empty text; the caller goes on with that.
QString CurrentDirectory();
