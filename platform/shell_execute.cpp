#include "platform/shell_execute.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

INT_PTR ShellExecuteOpen(const QString& target) {
    if (target.isEmpty())
        return SE_ERR_FNF;
    QUrl url(target);
    // A single letter before the colon is a drive, not a scheme.
    if (!url.isValid() || url.scheme().size() < 2)
        url = QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return SE_ERR_FNF;
    return QDesktopServices::openUrl(url) ? SE_OPENED : SE_ERR_NOASSOC;
}
