#include "cli/cli_io.h"
#include "cli/commands.h"

int RunCheckCommand(const QStringList&) {
    PrintError(QStringLiteral("check: not built yet"));
    return kStatusError;
}
