// quarrow-cli on generated listings beside GNU sort of the same file, measured in the same run.
//
//   bench/bench_cli [--names=realistic|numbered|both] [lines]     (default: both, 1000000)
//
// Realistic names (8 to 40 bytes, mixed case, some Latin-1 and UTF-8, hyphens; about 44 bytes a line) come
// first: they are what the targets are judged on. Numbered names follow for comparison; they sort and
// collate faster and so flatter every ratio.
//
// Times, best of three runs, each a whole process with its output sent to /dev/null:
//   LC_ALL=C sort -t'|' -k3,3 FILE               the baseline
//   LC_ALL=en_US.UTF-8 sort -t'|' -k3,3 FILE     a linguistic order like the window's; the locale is compiled
//                                                into a temporary folder when the system lacks it
//   quarrow-cli sort FILE --by FileName -o -     and --by StartLba, --by FileSize
//   quarrow-cli export FILE --to xorriso-weights
//   quarrow-cli check FILE
// Targets: the name order at most 0.4 x the locale-aware sort; StartLba, FileSize, export and check at
// most 0.25 x the C sort. Exit status 1 when a run fails or the locale cannot be made.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "bench/gnu_sort.h"
#include "bench/listing_generator.h"
#include "bench/program_timing.h"

namespace {

// Times every command on a listing of `lines` lines with names of `style`; false when a run failed.
bool RunStyle(const QString& folder, const QString& locPath, NameStyle style, long lines) {
    const char* styleName = style == NameStyle::Realistic ? "realistic" : "numbered";
    const QString path = folder + QStringLiteral("/LBA-%1.TXT").arg(QLatin1String(styleName));
    // Files back to back, as on a disc image, so that check reports a layout rather than a million overlaps.
    WriteListing(path, lines, ListingOptions{.names = style, .bBackToBack = true});

    const double cSort = BestOfThree([&] { return TimeGnuSort(path); });
    const double localeSort =
        BestOfThree([&] { return TimeGnuSort(path, QStringLiteral("en_US.UTF-8"), locPath); });
    if (cSort < 0 || localeSort < 0) {
        std::fprintf(stderr, "GNU sort failed\n");
        return false;
    }
    std::printf("\n%s names, %ld lines, %.1f bytes a line\n", styleName, lines,
                static_cast<double>(QFile(path).size()) / static_cast<double>(lines));
    std::printf("%-52s %8.3f s\n", "baseline LC_ALL=C sort -t'|' -k3,3", cSort);
    std::printf("%-52s %8.3f s\n", "baseline LC_ALL=en_US.UTF-8 sort -t'|' -k3,3", localeSort);

    struct Run {
        const char* what;
        QStringList args;
        bool bByLocale; // judged against the locale sort, else against the C sort
        double limit;
    };
    const QString cli = QStringLiteral(QUARROW_CLI_PATH);
    const Run runs[] = {
        {"quarrow-cli sort --by FileName", {"sort", path, "--by", "FileName", "-o", "-"}, true, 0.4},
        {"quarrow-cli sort --by StartLba", {"sort", path, "--by", "StartLba", "-o", "-"}, false, 0.25},
        {"quarrow-cli sort --by FileSize", {"sort", path, "--by", "FileSize", "-o", "-"}, false, 0.25},
        {"quarrow-cli export --to xorriso-weights", {"export", path, "--to", "xorriso-weights"}, false, 0.25},
        {"quarrow-cli check", {"check", path}, false, 0.25},
    };
    std::printf("%-42s %9s %12s %14s   %s\n", "command", "seconds", "/ C sort", "/ locale sort", "target");
    bool allMet = true;
    for (const Run& run : runs) {
        const double seconds = BestOfThree([&] { return TimeProgram(cli, run.args); });
        if (seconds < 0) {
            std::fprintf(stderr, "%s failed\n", run.what);
            return false;
        }
        const double ratio = seconds / (run.bByLocale ? localeSort : cSort);
        const bool met = ratio <= run.limit;
        allMet = allMet && met;
        std::printf("%-42s %9.3f %11.2fx %13.2fx   %s <= %.2fx %s\n", run.what, seconds, seconds / cSort,
                    seconds / localeSort, met ? "met:" : "MISSED:", run.limit,
                    run.bByLocale ? "locale sort" : "C sort");
        std::fflush(stdout);
    }
    std::printf("%s names: %s\n", styleName, allMet ? "all targets met" : "some targets MISSED");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    long lines = 1000000;
    std::vector<NameStyle> styles = {NameStyle::Realistic, NameStyle::Numbered};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (ReadNameStyles(arg, styles))
            continue;
        if (std::atol(argv[i]) <= 0) {
            std::fprintf(stderr, "usage: bench_cli [--names=realistic|numbered|both] [lines]\n");
            return 1;
        }
        lines = std::atol(argv[i]);
    }
    QTemporaryDir dir;
    const std::optional<QString> locPath = FindOrMakeEnglishLocale(dir.path());
    if (!locPath) {
        std::fprintf(stderr, "en_US.UTF-8 is missing and localedef could not make it (package locales)\n");
        return 1;
    }
    std::printf("lines: %ld\n", lines);
    for (NameStyle style : styles) {
        if (!RunStyle(dir.path(), *locPath, style, lines))
            return 1;
    }
    return 0;
}
