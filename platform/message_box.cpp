#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/win_app.h"
#include "platform/wnd.h"

namespace {

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

QMessageBox::Icon IconFor(UINT type) {
    switch (type & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ShowRealBox(const MessageBoxRequest& request) {
    QMessageBox box(IconFor(request.type), request.caption, request.text, QMessageBox::NoButton,
                    request.owner);
    switch (request.type & 0x0F) {
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDOK;
    }
}

} // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    MessageBoxHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

int ShowMessageBox(const MessageBoxRequest& request) {
    if (Handler())
        return Handler()(request);
    return ShowRealBox(request);
}

int AfxMessageBox(const QString& text, UINT type) {
    MessageBoxRequest request;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd)
        request.owner = app->m_pMainWnd->GetSafeWidget();
    request.caption = app ? app->m_strAppName : QApplication::applicationName();
    request.text = text;
    request.type = type;
    return ShowMessageBox(request);
}
