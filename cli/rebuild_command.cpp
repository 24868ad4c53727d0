#include "cli/cli_io.h"
#include "cli/commands.h"

int RunRebuildCommand(const QStringList&) {
    PrintError(QStringLiteral("rebuild: not built yet"));
    return kStatusError;
}
