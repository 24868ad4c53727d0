// quarrow-cli seek: what a trace costs a drive on a listing's layout, and on a new one.
#include <cstdio>
#include <string>

#include <QCommandLineParser>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/trace_input.h"

namespace {

std::string Seconds(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string JsonFigures(const SeekFigures& f) {
    return "{\"reads\": " + std::to_string(f.reads) + ", \"seeks\": " + std::to_string(f.seeks) +
           ", \"travel_blocks\": " + std::to_string(f.travelBlocks) +
           ", \"estimated_seconds\": " + Seconds(f.estimatedSeconds) + "}";
}

std::string TextFigures(const char* label, const SeekFigures& f) {
    return std::string(label) + ": reads " + std::to_string(f.reads) + ", seeks " + std::to_string(f.seeks) +
           ", travel " + std::to_string(f.travelBlocks) + " blocks, estimated " +
           Seconds(f.estimatedSeconds) + " s\n";
}

} // namespace

int RunSeekCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Counts what the trace costs a drive on the listing's layout: reads, seeks (reads that do not "
        "start where the previous one ended), the head's travel in blocks, and an estimated time of "
        "--seek-ms a seek plus the data at --kib-per-s. With --new, the reads are replayed on the new "
        "listing's layout (each file's bytes at its new blocks) and the share saved is given.",
        "listing", "The listing of the image the trace was made on; - for stdin.");
    AddTraceOptions(parser);
    AddDriveOptions(parser);
    const QCommandLineOption newOption(
        QStringLiteral("new"), QStringLiteral("The listing of the new layout."), QStringLiteral("listing"));
    const QCommandLineOption jsonOption(QStringLiteral("json"), QStringLiteral("Print the figures as JSON."));
    parser.addOptions({newOption, jsonOption});
    AddLayoutOption(parser);
    if (const std::optional<int> status = ParseCommand(parser, "seek", args))
        return *status;

    const CResult<DriveModel> drive = DriveOptions(parser);
    if (!drive)
        return ReportFailure(drive.Error());
    const CResult<std::vector<TraceRead>> reads = ReadTraceOption(parser);
    if (!reads)
        return ReportFailure(reads.Error());
    // The listing is read even without a new layout, so that a wrong one is told at once.
    const CResult<TracedListing> old = ReadTracedListing(parser.positionalArguments().first(), parser);
    if (!old)
        return ReportFailure(old.Error());
    const SeekFigures before = MeasureSeeks(*reads, *drive);
    std::optional<SeekFigures> after;
    std::size_t missing = 0;
    if (parser.isSet(newOption)) {
        const CResult<TracedListing> newer = ReadTracedListing(parser.value(newOption), parser);
        if (!newer)
            return ReportFailure(newer.Error());
        const std::vector<std::uint64_t> starts = NewStarts(*old, *newer, missing);
        after = MeasureSeeks(ReplayReads(old->files, starts, *reads), *drive);
    }

    std::string out;
    if (parser.isSet(jsonOption)) {
        out = "{\"before\": " + JsonFigures(before);
        if (after) {
            char share[64];
            std::snprintf(share, sizeof share, "%.6f", SavedShare(before, *after));
            out += ", \"after\": " + JsonFigures(*after) + ", \"saved_share\": " + share;
        }
        out += "}\n";
    } else {
        out = TextFigures("before", before);
        if (after) {
            char share[64];
            std::snprintf(share, sizeof share, "%.1f", SavedShare(before, *after) * 100);
            out += TextFigures("after", *after) + "saved: " + share + "% of the estimated time\n";
        }
    }
    if (missing > 0)
        PrintError(
            QStringLiteral("%1 files of the listing are not in the new listing: their reads keep their "
                           "blocks")
                .arg(missing));
    return ExitStatusOf(WriteOutput(QStringLiteral("-"), out));
}
