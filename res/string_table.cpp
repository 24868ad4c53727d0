#include "res/string_table.h"

#include "res/resource.h"

QString LoadStringResource(UINT nID) {
    switch (nID) {
    case IDS_ABOUTBOX:
        return QStringLiteral("&About");
    default:
        return QString();
    }
}
