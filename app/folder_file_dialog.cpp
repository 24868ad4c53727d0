#include "app/folder_file_dialog.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QToolButton>

#include "platform/event_relay.h"

namespace {

// The platform's list used when the caller gives none: one pair and the closing NUL.
constexpr char kAllFilesFilter[] = "All Files\0*.*\0";

constexpr int kMaxDefExtLength = 3;

} // namespace

CFolderFileDialog::CFolderFileDialog(BOOL bOpenFileDialog, CWnd* pParentWnd, const QString& strInitialDir,
                                     const QString& strFileName, const char* lpszFilter, int nFilterLength,
                                     const char* lpszDefExt, DWORD dwFlags)
    : m_bOpenDialog(bOpenFileDialog), m_pOwner(pParentWnd), m_dwFlags(dwFlags) {
    if (lpszDefExt) {
        QString extension = QString::fromLocal8Bit(lpszDefExt);
        extension.remove(QLatin1Char('.'));
        m_szDefExt = extension.left(kMaxDefExtLength);
    }
    if (!strFileName.isNull())
        m_szFile = strFileName;
    if (!strInitialDir.isNull())
        m_szInitialDir = strInitialDir;
    if (lpszFilter && nFilterLength > 0)
        m_szFilter = QByteArray(lpszFilter, nFilterLength);
    else
        m_szFilter = QByteArray(kAllFilesFilter, sizeof(kAllFilesFilter));

    m_pDialog = new QFileDialog(pParentWnd ? pParentWnd->GetSafeWidget() : nullptr);
    QFileDialog* dialog = m_pDialog;
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::ReadOnly);
    // The combo box shows the descriptions as the caller wrote them; the patterns stay out of sight.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(m_bOpenDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog->setFileMode((m_dwFlags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // Patterns match without regard to case, as on the platform the filter lists are written for.
    dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
    dialog->setNameFilters(NameFilters(m_szFilter));
    dialog->setDefaultSuffix(m_szDefExt);
    if (!m_szInitialDir.isEmpty())
        dialog->setDirectory(m_szInitialDir);
    if (!m_szFile.isEmpty())
        dialog->selectFile(m_szFile);

    m_pRelay = std::make_unique<CEventRelay>(
        [this](QObject* watched, QEvent* event) { return OnEvent(watched, event); });
    m_pRelay->Watch(dialog);
}

CFolderFileDialog::~CFolderFileDialog() {
    m_pRelay.reset();
    delete m_pDialog.data();
}

QStringList CFolderFileDialog::NameFilters(const QByteArray& filter) {
    // Split into NUL-ended parts; the list ends at the first empty part.
    QList<QByteArray> parts;
    qsizetype start = 0;
    while (start < filter.size()) {
        qsizetype end = filter.indexOf('\0', start);
        if (end < 0)
            end = filter.size();
        if (end == start)
            break;
        parts.append(filter.mid(start, end - start));
        start = end + 1;
    }

    QStringList nameFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QByteArray& pattern : parts[i + 1].split(';')) {
            const QString trimmed = QString::fromLocal8Bit(pattern).trimmed();
            if (!trimmed.isEmpty())
                patterns.append(trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
        }
        if (patterns.isEmpty())
            continue;
        nameFilters.append(QString::fromLocal8Bit(parts[i]) + QStringLiteral(" (") +
                           patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    if (nameFilters.isEmpty())
        nameFilters.append(QStringLiteral("All Files (*)"));
    return nameFilters;
}

INT_PTR CFolderFileDialog::DoModal() {
    if (!m_pDialog)
        return 0;
    const int result = m_pDialog->exec();
    if (!m_pDialog || result != QDialog::Accepted)
        return 0;
    const QStringList files = m_pDialog->selectedFiles();
    if (files.isEmpty())
        return 0;
    m_szFile = files.first();
    m_szFileTitle = QFileInfo(m_szFile).fileName();
    return IDOK;
}

QFileDialog* CFolderFileDialog::GetFileDialog() const {
    return m_pDialog.data();
}

QString CFolderFileDialog::GetFileName() const {
    return m_szFileTitle;
}

QString CFolderFileDialog::GetFolder() const {
    const qsizetype separator = m_szFile.lastIndexOf(QLatin1Char('/'));
    return separator < 0 ? QString() : m_szFile.left(separator);
}

void CFolderFileDialog::LockDialog() {
    QFileDialog* dialog = m_pDialog;
    if (!dialog)
        return;
    if (auto* newFolder = dialog->findChild<QToolButton*>(QStringLiteral("newFolderButton")))
        newFolder->hide();
    for (QWidget* widget : dialog->findChildren<QWidget*>()) {
        widget->setContextMenuPolicy(Qt::NoContextMenu);
        widget->setAcceptDrops(false);
    }
    for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>()) {
        view->setDragDropMode(QAbstractItemView::NoDragDrop);
        view->setDragEnabled(false);
        view->setAcceptDrops(false);
        view->viewport()->setAcceptDrops(false);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
}

bool CFolderFileDialog::IsSwallowedKey(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete)
        return true;
    if ((event->modifiers() & Qt::ControlModifier) &&
        (event->key() == Qt::Key_X || event->key() == Qt::Key_V))
        return true;
    // Whatever else this desktop binds to cut and paste.
    return event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste);
}

bool CFolderFileDialog::IsInDialog(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget && m_pDialog && widget->window() == m_pDialog;
}

bool CFolderFileDialog::IsInItemView(QObject* object) const {
    if (!IsInDialog(object))
        return false;
    for (QObject* o = object; o && o != m_pDialog; o = o->parent()) {
        if (qobject_cast<QAbstractItemView*>(o))
            return true;
    }
    return false;
}

bool CFolderFileDialog::OnEvent(QObject* watched, QEvent* event) {
    if (watched == m_pDialog) {
        if (event->type() == QEvent::Show) {
            // The dialog is ready: lock it, and from now until it closes watch every key of the application.
            LockDialog();
            m_pRelay->WatchApplication();
        } else if (event->type() == QEvent::Hide) {
            m_pRelay->UnwatchApplication();
        }
    }
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (!m_pRelay->IsWatchingApplication() || !IsSwallowedKey(static_cast<QKeyEvent*>(event)))
            return false;
        // An accepted shortcut override keeps the key from firing a shortcut; the key itself then comes
        // here as a press and is dropped.
        event->accept();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // The right button does nothing in the picker's lists: no selection, no menu, no change of folder.
        if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton || !IsInItemView(watched))
            return false;
        event->accept();
        return true;
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (!IsInDialog(watched))
            return false;
        event->ignore();
        return true;
    default:
        return false;
    }
}
