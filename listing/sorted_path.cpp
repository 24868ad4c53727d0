#include "listing/sorted_path.h"

QString SortedPathIn(const QString& folder, const QString& name) {
    return folder + QStringLiteral("Sorted-") + name;
}

QString SortedPathBeside(const QString& path) {
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    return SortedPathIn(path.left(nameStart), path.mid(nameStart));
}
