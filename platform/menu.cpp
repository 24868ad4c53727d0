#include "platform/menu.h"

#include <QMenu>

#include "platform/wnd.h"

BOOL CMenu::AppendMenu(UINT flags, UINT id, const QString& text) {
    m_entries.push_back(Entry{flags, id, text});
    return TRUE;
}

QString CMenu::EntryLabel(const QString& text) {
    return text.section(QLatin1Char('\t'), 0, 0);
}

QString CMenu::EntryShortcut(const QString& text) {
    return text.section(QLatin1Char('\t'), 1);
}

UINT CMenu::TrackPopupMenu(UINT, int x, int y, CWnd* pWnd) const {
    QMenu menu(pWnd ? pWnd->GetSafeWidget() : nullptr);
    UINT chosen = 0;
    for (const Entry& entry : m_entries) {
        if (entry.flags & MF_SEPARATOR) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(EntryLabel(entry.text));
        // Shown beside the entry; the window's own shortcut runs the command.
        const QString shortcut = EntryShortcut(entry.text);
        if (!shortcut.isEmpty())
            action->setShortcut(QKeySequence(shortcut));
        const UINT id = entry.id;
        QObject::connect(action, &QAction::triggered, &menu, [&chosen, id] { chosen = id; });
    }
    menu.exec(QPoint(x, y));
    return chosen;
}
