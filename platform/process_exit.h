// Ending the process at once, as the program does after a fatal file error or on Exit.
#pragma once

#include <functional>

// Ends the process immediately with the given status: no window is closed and nothing the windows store on
// closing is stored. Registered clean-ups run first.
[[noreturn]] void AfxExitProcess(int status);

// While alive, runs `cleanup` if the process is ended through AfxExitProcess. A save in progress uses it to
// discard its unfinished temporary file, so an Exit pressed in the middle of a save leaves no partial file.
class CExitCleanup {
public:
    explicit CExitCleanup(std::function<void()> cleanup);
    ~CExitCleanup();
    CExitCleanup(const CExitCleanup&) = delete;
    CExitCleanup& operator=(const CExitCleanup&) = delete;

private:
    friend void AfxExitProcess(int status);
    std::function<void()> m_fnCleanup;
};

// Asks the running event loops to end (the counterpart of posting the quit message).
void PostQuitMessage(int exitCode);
