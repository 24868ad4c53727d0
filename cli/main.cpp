// quarrow-cli: the listing rules of the window, from the shell. Dispatches to one subcommand.
#include <cstdio>

#include <QCoreApplication>
#include <QStringList>

#include "cli/cli_io.h"
#include "cli/commands.h"

namespace {

constexpr const char* kUsage =
    "Usage: quarrow-cli COMMAND [OPTIONS] ...\n"
    "\n"
    "Sorts disc image listings by the rules of the Quarrow window and hands the order to the tools that\n"
    "build disc images.\n"
    "\n"
    "Commands:\n"
    "  sort LISTING --by COLUMN    sort a listing as one header click does, and save it\n"
    "  export LISTING --to FORMAT  write sort weights for mkisofs-sort or xorriso-weights\n"
    "  check LISTING               report overlapping and unused blocks\n"
    "  import IMAGE                write the listing of a disc image or of a tool's report\n"
    "  rebuild IMAGE --order LISTING -o NEW_IMAGE [--map MAP]\n"
    "                              write a new image whose files lie in the listing's order\n"
    "  replace IMAGE --file /PATH=NEWFILE (-o OUT | --in-place)\n"
    "                              new content for files, every other block kept where it was\n"
    "  which IMAGE|LISTING BLOCK...  say what holds each block\n"
    "  diff OLD NEW                list the files two images or listings place differently\n"
    "  place IMAGE --layout LISTING (-o OUT | --in-place)\n"
    "                              move the listed files to the listing's start blocks\n"
    "  pack LISTING (--from LBA | --image IMAGE) -o OUT\n"
    "                              renumber a listing so its files lie back to back\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help, or a command's help after its name\n"
    "  --version      show the version\n"
    "\n"
    "Exit status: 0 on success, 1 when a check finds a problem, 2 for usage and input errors.\n";

struct Command {
    const char* name;
    int (*run)(const QStringList& args);
};

constexpr Command kCommands[] = {
    {"sort", RunSortCommand},     {"export", RunExportCommand},   {"check", RunCheckCommand},
    {"import", RunImportCommand}, {"rebuild", RunRebuildCommand},
    {"replace", RunReplaceCommand}, {"which", RunWhichCommand}, {"diff", RunDiffCommand},
    {"place", RunPlaceCommand},     {"pack", RunPackCommand},
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quarrow-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUARROW_VERSION));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    if (args.isEmpty()) {
        std::fputs(kUsage, stderr);
        return kStatusError;
    }
    const QString first = args.takeFirst();
    if (first == QStringLiteral("-h") || first == QStringLiteral("--help")) {
        std::fputs(kUsage, stdout);
        return kStatusOk;
    }
    if (first == QStringLiteral("--version")) {
        std::printf("quarrow-cli %s\n", QUARROW_VERSION);
        return kStatusOk;
    }
    for (const Command& command : kCommands) {
        if (first == QLatin1String(command.name))
            return command.run(args);
    }
    PrintError(QStringLiteral("unknown command '%1' (see quarrow-cli --help)").arg(first));
    return kStatusError;
}
