// The application object: roots the settings store and runs the main window.
#pragma once

#include "platform/win_app.h"

class CMainApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
