// The subcommands of quarrow-cli. Each takes the arguments that follow its name on the command line and
// returns the process exit status: 0 on success, 1 when a check finds a problem, 2 for usage and input
// errors.
#pragma once

#include <QStringList>

int RunSortCommand(const QStringList& args);
int RunExportCommand(const QStringList& args);
int RunCheckCommand(const QStringList& args);
int RunImportCommand(const QStringList& args);
int RunRebuildCommand(const QStringList& args);
int RunOrderCommand(const QStringList& args);
int RunSeekCommand(const QStringList& args);
// plot, the one command on Qt GUI, makes its own application object: main hands it the whole command line.
int RunPlotCommand(const QStringList& args);
int RunPlotProgram(int argc, char** argv);
int RunReplaceCommand(const QStringList& args);
int RunWhichCommand(const QStringList& args);
int RunDiffCommand(const QStringList& args);
int RunPlaceCommand(const QStringList& args);
int RunPackCommand(const QStringList& args);
