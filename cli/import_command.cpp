#include "cli/cli_io.h"
#include "cli/commands.h"

int RunImportCommand(const QStringList&) {
    PrintError(QStringLiteral("import: not built yet"));
    return kStatusError;
}
