#include "cli/cli_io.h"
#include "cli/commands.h"

int RunExportCommand(const QStringList&) {
    PrintError(QStringLiteral("export: not built yet"));
    return kStatusError;
}
