// The application object: roots the settings store and runs the main window.
#pragma once

#include "app/window_arguments.h"
#include "platform/win_app.h"

class CMainApp : public CWinApp {
public:
    BOOL InitInstance() override;

    // What the command line asked for: a file whose name the window starts with.
    WindowCommandLine m_commandLine;
};
