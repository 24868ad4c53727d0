// Modal message boxes, all through one seam so tests can answer them without showing a window.
#pragma once

#include <functional>

#include <QString>

#include "base/afx_types.h"

class QWidget;

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    QString text;
    QString caption;
    UINT type = MB_OK;
};

// Answers a message box; returns the button code (IDOK, IDYES, ...).
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Replaces how message boxes are shown; an empty handler restores the real modal box. Returns the handler
// that was in force before.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Shows a message box (or hands it to the installed handler) and returns the answer.
int ShowMessageBox(const MessageBoxRequest& request);

// A box owned by the application's main window, captioned with the application's name.
int AfxMessageBox(const QString& text, UINT type = MB_OK);
