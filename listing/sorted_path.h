// Where a sorted copy goes: "Sorted-" before the file's name, in the file's folder.
#pragma once

#include <QString>

// The folder text, "Sorted-", then the name: the folder is taken as it stands, separator included.
QString SortedPathIn(const QString& folder, const QString& name);

// "Sorted-<name>" beside the file at `path`: everything up to its last '/' is kept, and the name after it
// gets the prefix. A path without a '/' is a name in the current folder.
QString SortedPathBeside(const QString& path);
