// What the window program sets up before its QApplication is made: the name of its desktop entry, and a
// clear end when no window system can be reached.
#pragma once

// Names the desktop entry (the application id) and installs a message handler. Until the window system
// is up, Qt's messages are held back: if Qt then gives up for want of a display (where it would abort),
// the program prints one line that says what to do and ends with status 1; otherwise the held messages
// are passed on.
void PrepareDesktopStart();

// The line printed when no display can be opened.
inline constexpr const char* kNoDisplayMessage =
    "quarrow: cannot open a display: set DISPLAY, or run it under xvfb-run\n";
