// The window program's command line: --help and --version, and one optional listing file to open. Read
// before any window exists, so the answers that end the program need no display.
#pragma once

#include <QString>
#include <QStringList>

struct WindowCommandLine {
    // The status to end with at once, after printing `output` and `error`; -1 to go on and open the window.
    int exitStatus = -1;
    QString output; // for the standard output stream
    QString error;  // for the standard error stream
    // The file named on the command line as the two fields show it, empty when none was named.
    QString folderText;
    QString fileName;
};

// Reads the arguments (the program's path first). Qt's own window options such as -platform are
// accepted and left to Qt; a file that does not exist or is not a regular file is an error.
WindowCommandLine ParseWindowCommandLine(const QStringList& arguments);

// The text of the folder field for a file path chosen by the user: the absolute folder that holds it
// followed by one '/', as Browse fills it.
QString FolderFieldText(const QString& absoluteFilePath);

// The program's arguments as texts, decoded as file names are.
QStringList ArgumentList(int argc, char** argv);

// Prints the texts of an answer that ends the program and returns its exit status.
int PrintCommandLineAnswer(const WindowCommandLine& commandLine);
