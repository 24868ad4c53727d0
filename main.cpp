#include "app/desktop_start.h"
#include "app/main_app.h"
#include "app/window_arguments.h"

// The one application object, alive before the entry point.
CMainApp theApp;

int main(int argc, char** argv) {
    // --help, --version and a wrong command line are answered before any window, so without a display.
    const WindowCommandLine commandLine = ParseWindowCommandLine(ArgumentList(argc, argv));
    if (commandLine.exitStatus >= 0)
        return PrintCommandLineAnswer(commandLine);
    PrepareDesktopStart();
    theApp.m_commandLine = commandLine;
    return theApp.Run(argc, argv);
}
