#include "app/output_picker.h"

#include <QByteArray>
#include <QFileDialog>
#include <QFileInfo>

#include "app/folder_file_dialog.h"

QString PickOutputFile(CWnd* owner, const QString& suggested, const char* description, const char* pattern,
                       const QString& title) {
    // Pairs of description and pattern, each ended by a NUL, the list ended by one more.
    const QByteArray filter =
        QByteArray(description) + '\0' + pattern + '\0' + "All files (*.*)" + '\0' + "*.*" + '\0';
    const QFileInfo info(suggested);
    CFolderFileDialog dlg(FALSE, owner, info.absolutePath(), info.fileName(), filter.constData(),
                          static_cast<int>(filter.size()) + 1, nullptr, 0);
    if (!title.isEmpty())
        dlg.GetFileDialog()->setWindowTitle(title);
    return dlg.DoModal() ? dlg.m_szFile : QString();
}
