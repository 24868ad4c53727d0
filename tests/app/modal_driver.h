// Drives a modal window from inside its own event loop, without sleeping: the action runs at the first turn
// of the loop, when the window is open.
#pragma once

#include <functional>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

// Closes the modal window on leaving scope unless the test already closed it, so a failed check inside a
// driver never leaves the test waiting on an open window.
class ModalCloser {
public:
    explicit ModalCloser(QWidget* window) : m_pWindow(window) {}
    ~ModalCloser() {
        if (auto* dialog = qobject_cast<QDialog*>(m_pWindow); dialog && dialog->isVisible())
            dialog->reject();
    }
    ModalCloser(const ModalCloser&) = delete;
    ModalCloser& operator=(const ModalCloser&) = delete;

private:
    QWidget* m_pWindow;
};

// Runs `action` with the active modal window (nullptr when none is open) once the event loop turns.
inline void WhenModalOpens(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, qApp, [action = std::move(action)] {
        QWidget* window = QApplication::activeModalWidget();
        ModalCloser closer(window);
        action(window);
    });
}
