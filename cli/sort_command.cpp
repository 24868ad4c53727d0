#include "cli/cli_io.h"
#include "cli/commands.h"

int RunSortCommand(const QStringList&) {
    PrintError(QStringLiteral("sort: not built yet"));
    return kStatusError;
}
