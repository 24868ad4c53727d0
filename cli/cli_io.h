// Input, output and error reporting shared by the subcommands of quarrow-cli.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

// Exit statuses of every subcommand.
enum CliStatus { kStatusOk = 0, kStatusProblemFound = 1, kStatusError = 2 };

// Writes "quarrow-cli: FILE:LINE: REASON" (the line only when it is above 0) to stderr.
void PrintError(const QString& file, long long line, const QString& reason);
// Writes "quarrow-cli: REASON" to stderr.
void PrintError(const QString& reason);

// The whole content of a file, or of stdin for "-"; an error is reported and nullopt returned when it
// cannot be read.
std::optional<std::string> ReadInput(const QString& path);

// Writes bytes to a file, replacing it only once everything is written, or to stdout for "-". False
// (with the error reported) when it could not be written.
bool WriteOutput(const QString& path, std::string_view bytes);
