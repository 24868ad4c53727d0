// The end of the program after a file cannot be opened, read or written: the message, then the process ends.
#pragma once

#include <QString>

// Shows `message` in an information box and, once it is dismissed, ends the process with status 0.
[[noreturn]] void FailWithMessage(const QString& message);
