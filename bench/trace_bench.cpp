// quarrow-cli order, seek and plot on a generated listing and read trace, beside GNU `sort -n` of the
// trace file measured in the same run.
//
//   bench/bench_trace [lines] [reads] [plot-reads]     (default: 1000000 10000000 1000000)
//
// The listing's files lie back to back; the trace reads files picked at random (one time in five the
// file after the last one) in runs of 16 blocks to their ends, as a program loading its data does.
// Times, best of three runs, each a whole process with its output sent to /dev/null:
//   LC_ALL=C sort -n TRACE                                      the baseline
//   quarrow-cli order LISTING --trace TRACE -o -                target: within 1.0x the baseline
//   quarrow-cli seek LISTING --trace TRACE                      target: within 1.0x the baseline
//   quarrow-cli seek LISTING --trace TRACE --new ORDERED        target: within 1.0x the baseline
//   quarrow-cli plot LISTING --trace TRACE1M --new ORDERED -o P.png   (and .svg) target: under 3 s
// Exit status 1 when a run fails.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "bench/listing_generator.h"
#include "bench/program_timing.h"

namespace {

// Writes a block list of `reads` reads over the files of the listing at `listingPath`.
bool WriteTrace(const QString& listingPath, const QString& path, long reads) {
    QFile listing(listingPath);
    if (!listing.open(QIODevice::ReadOnly))
        return false;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> files; // first block, blocks
    for (const QByteArray& line : listing.readAll().split('\n')) {
        if (line.size() < 18)
            continue;
        const std::uint64_t size = line.mid(9, 8).toULongLong(nullptr, 16);
        if (size > 0 && size != 0xFFFFFFFF)
            files.emplace_back(line.left(8).toULongLong(nullptr, 16), (size + 2047) / 2048);
    }
    std::mt19937_64 random(42);
    std::string text;
    text.reserve(static_cast<std::size_t>(reads) * 14);
    std::size_t file = 0;
    for (long n = 0; n < reads;) {
        file = random() % 5 == 0 ? (file + 1) % files.size() : random() % files.size();
        const auto [first, blocks] = files[file];
        for (std::uint64_t b = 0; b < blocks && n < reads; b += 16, ++n)
            text += std::to_string(first + b) + " " +
                    std::to_string(std::min<std::uint64_t>(16, blocks - b)) + "\n";
    }
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(text.data(), static_cast<qint64>(text.size())) >= 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    const long reads = argc > 2 ? std::atol(argv[2]) : 10000000;
    const long plotReads = argc > 3 ? std::atol(argv[3]) : 1000000;
    QTemporaryDir dir;
    const QString listing = dir.path() + QStringLiteral("/LBA.TXT");
    const QString trace = dir.path() + QStringLiteral("/reads.lba");
    const QString plotTrace = dir.path() + QStringLiteral("/reads-plot.lba");
    const QString ordered = dir.path() + QStringLiteral("/ORDERED.TXT");
    WriteListing(listing, lines, ListingOptions{.bBackToBack = true});
    if (!WriteTrace(listing, trace, reads) || !WriteTrace(listing, plotTrace, plotReads)) {
        std::fprintf(stderr, "cannot write the traces\n");
        return 1;
    }
    const QString cli = QStringLiteral(QUARROW_CLI_PATH);
    if (TimeProgram(cli, {"order", listing, "--trace", trace, "-o", ordered}) < 0) {
        std::fprintf(stderr, "quarrow-cli order failed\n");
        return 1;
    }

    const double sortN = BestOfThree([&] {
        return TimeProgram(QStringLiteral("sort"), {"-n", trace}, true);
    });
    if (sortN < 0) {
        std::fprintf(stderr, "GNU sort failed\n");
        return 1;
    }
    std::printf("listing lines: %ld, trace reads: %ld, plot trace reads: %ld\n", lines, reads, plotReads);
    std::printf("%-58s %8.3f s\n", "baseline LC_ALL=C sort -n TRACE", sortN);

    struct Run {
        const char* what;
        QStringList args;
        double limit; // seconds; 0: within 1.0x the baseline
    };
    const Run runs[] = {
        {"quarrow-cli order LISTING --trace TRACE -o -", {"order", listing, "--trace", trace, "-o", "-"}, 0},
        {"quarrow-cli seek LISTING --trace TRACE", {"seek", listing, "--trace", trace}, 0},
        {"quarrow-cli seek LISTING --trace TRACE --new ORDERED",
         {"seek", listing, "--trace", trace, "--new", ordered},
         0},
        {"quarrow-cli plot LISTING --trace TRACE1M --new ORDERED -o P.png",
         {"plot", listing, "--trace", plotTrace, "--new", ordered, "-o", dir.path() + "/p.png"},
         3.0},
        {"quarrow-cli plot LISTING --trace TRACE1M --new ORDERED -o P.svg",
         {"plot", listing, "--trace", plotTrace, "--new", ordered, "-o", dir.path() + "/p.svg"},
         3.0},
    };
    std::printf("\n%-58s %9s %11s   %s\n", "command", "seconds", "/ sort -n", "target");
    bool allMet = true;
    for (const Run& run : runs) {
        const double seconds = BestOfThree([&] { return TimeProgram(cli, run.args); });
        if (seconds < 0) {
            std::fprintf(stderr, "%s failed\n", run.what);
            return 1;
        }
        const bool met = run.limit > 0 ? seconds < run.limit : seconds <= sortN;
        allMet = allMet && met;
        std::printf("%-58s %9.3f %10.2fx   %s %s\n", run.what, seconds, seconds / sortN,
                    met ? "met:" : "MISSED:", run.limit > 0 ? "under 3 s" : "within 1.0x sort -n");
        std::fflush(stdout);
    }
    std::printf("\n%s\n", allMet ? "all targets met" : "some targets MISSED");
    return 0;
}
