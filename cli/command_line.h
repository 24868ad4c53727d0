// The option parsing every subcommand shares: --help, parse errors as usage errors (status 2).
#pragma once

#include <optional>

#include <QCommandLineParser>
#include <QStringList>

// Sets up the parser of a subcommand with its description, its one positional argument and --help.
void SetUpCommand(QCommandLineParser& parser, const char* description, const char* argument,
                  const char* argumentHelp);

// Parses args (those after the subcommand's name). Returns the status to end with when the command should
// not run: 0 after printing the help, 2 after reporting a usage error (an unknown option, a missing or
// extra argument). Returns none when the command should run with parser.positionalArguments()[0].
std::optional<int> ParseCommand(QCommandLineParser& parser, const char* name, const QStringList& args);

// Once args are parsed: prints the help and returns 0 when --help (or --help-all) was given; none otherwise.
// ParseCommand calls it; a command that words its own usage errors calls it after its own parse.
std::optional<int> HelpIfAsked(const QCommandLineParser& parser, const char* name);
