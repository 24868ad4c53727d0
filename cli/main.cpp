// quarrow-cli: the listing rules of the window, from the shell. Dispatches to one subcommand.
#include <csignal>
#include <cstdio>
#include <cstring>

#include <QCoreApplication>
#include <QStringList>

#include "cli/cli_io.h"
#include "cli/commands.h"
#include "listing/atomic_file_writer.h"

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
    "  order LISTING --trace TRACE\n"
    "                              write the listing in the order a read trace first reads its files\n"
    "  seek LISTING --trace TRACE [--new NEW_LISTING]\n"
    "                              count the seeks of a read trace on a layout, and on a new one\n"
    "  plot LISTING [--trace TRACE [--new NEW_LISTING]] -o FILE.svg|FILE.png\n"
    "                              draw the layout, and the reads of a trace on it\n"
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
    {"import", RunImportCommand}, {"rebuild", RunRebuildCommand}, {"order", RunOrderCommand},
    {"seek", RunSeekCommand},     {"replace", RunReplaceCommand}, {"which", RunWhichCommand},
    {"diff", RunDiffCommand},     {"place", RunPlaceCommand},     {"pack", RunPackCommand},
};

// An interrupted command leaves no temporary file beside its output, then ends as the signal would have
// ended it, so the shell sees the usual status.
void OnEndingSignal(int signal) {
    CAtomicFileWriter::RemoveTemporaryFiles();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void SetUpSignals() {
    // A file-size limit is a write error like any other, reported with the file's name.
    std::signal(SIGXFSZ, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the caller ignores (nohup, a background job of a plain shell) stays ignored.
        struct sigaction old {};
        if (sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        sigaction(signal, &action, nullptr);
    }
}

} // namespace

int main(int argc, char** argv) {
    SetUpSignals();
#ifdef QUARROW_CLI_PLOT
    if (argc > 1 && std::strcmp(argv[1], "plot") == 0)
        return RunPlotProgram(argc, argv);
#endif
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
