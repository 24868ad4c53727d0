// The file picker behind "Browse...": the platform's open dialog, made strictly a picker. While it is open
// nothing can be deleted, cut, pasted, renamed, created, dragged or dropped, and it has no context menus.
#pragma once

#include <memory>

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "platform/wnd.h"

class CEventRelay;
class QEvent;
class QFileDialog;
class QKeyEvent;
class QObject;

// Extra flag: only a file that exists may be chosen. Without it a typed name is accepted as it stands.
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

class CFolderFileDialog {
public:
    // lpszFilter holds pairs of description and pattern, each ended by a NUL, the list ended by one more
    // NUL; exactly nFilterLength bytes of it are taken. A pattern may list several patterns separated by
    // ";". Null gives "All Files" with "*.*". The default extension loses its dots and is cut to three
    // characters. A null initial folder or file name means none.
    CFolderFileDialog(BOOL bOpenFileDialog, CWnd* pParentWnd, const QString& strInitialDir,
                      const QString& strFileName, const char* lpszFilter, int nFilterLength,
                      const char* lpszDefExt, DWORD dwFlags);
    ~CFolderFileDialog();
    CFolderFileDialog(const CFolderFileDialog&) = delete;
    CFolderFileDialog& operator=(const CFolderFileDialog&) = delete;

    // Runs the dialog; nonzero when the user confirmed a file.
    INT_PTR DoModal();

    // The chosen file's name with its extension, without its folder.
    QString GetFileName() const;
    // The chosen path up to its last separator; empty when it has none.
    QString GetFolder() const;

    // The dialog window behind the picker.
    QFileDialog* GetFileDialog() const;

    QByteArray m_szFilter;
    QString m_szFile;      // initial file name in, full path of the chosen file out
    QString m_szFileTitle; // name of the chosen file
    QString m_szInitialDir;
    QString m_szDefExt;
    BOOL m_bOpenDialog;
    CWnd* m_pOwner;
    DWORD m_dwFlags;

private:
    // The dialog's name filters from the platform filter list: "description (patterns)", where "*.*"
    // stands for every file, as it does on the platform the list is written for.
    static QStringList NameFilters(const QByteArray& filter);
    static bool IsSwallowedKey(const QKeyEvent* event);
    // Takes away every way to change files or to open a context menu; runs when the dialog is shown.
    void LockDialog();
    bool OnEvent(QObject* watched, QEvent* event);
    bool IsInDialog(QObject* object) const;
    bool IsInItemView(QObject* object) const;

    QPointer<QFileDialog> m_pDialog;
    std::unique_ptr<CEventRelay> m_pRelay;
};
