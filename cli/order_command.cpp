// quarrow-cli order: the listing's lines in the order a trace first reads their files, for export,
// rebuild or pack and place to lay the files out in.
#include <string>

#include <QCommandLineParser>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/trace_input.h"
#include "disc/read_order.h"

namespace {

// The line of a row as it stands in the listing, its line end included.
std::string_view LineOf(const ListingInput& input, const ListingLine& row) {
    const std::string_view bytes = input.Bytes();
    const std::size_t begin = static_cast<std::size_t>(row.name.data() - bytes.data()) -
                              static_cast<std::size_t>(NameOffset(input.layout));
    std::size_t end = static_cast<std::size_t>(row.name.data() - bytes.data()) + row.name.size();
    if (bytes.substr(end, 2) == "\r\n")
        end += 2;
    else if (bytes.substr(end, 1) == "\n")
        end += 1;
    return bytes.substr(begin, end - begin);
}

} // namespace

int RunOrderCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Writes the listing's lines, byte for byte, with the files in the order the trace first reads "
        "them. A read counts for every file whose blocks it touches; files never read keep their "
        "listing order after the others. Prints the reads, the files read and the files never read.",
        "listing", "The listing of the image the trace was made on; - for stdin.");
    AddTraceOptions(parser);
    const QCommandLineOption untouchedOption(
        QStringLiteral("untouched"),
        QStringLiteral("Where the files never read go: first or last (default)."), QStringLiteral("where"),
        QStringLiteral("last"));
    const QCommandLineOption outputOption(QStringLiteral("o"),
                                          QStringLiteral("Write to file (default: - for stdout)."),
                                          QStringLiteral("file"), QStringLiteral("-"));
    parser.addOptions({untouchedOption, outputOption});
    AddLayoutOption(parser);
    if (const std::optional<int> status = ParseCommand(parser, "order", args))
        return *status;

    const QString untouched = parser.value(untouchedOption);
    if (untouched != QStringLiteral("first") && untouched != QStringLiteral("last")) {
        PrintError(QStringLiteral("--untouched must be first or last, not '%1'").arg(untouched));
        return kStatusError;
    }
    const CResult<std::vector<TraceRead>> reads = ReadTraceOption(parser);
    if (!reads)
        return ReportFailure(reads.Error());
    const CResult<TracedListing> listing = ReadTracedListing(parser.positionalArguments().first(), parser);
    if (!listing)
        return ReportFailure(listing.Error());

    const ReadOrder order = FirstReadOrder(listing->files, *reads, untouched == QStringLiteral("first"));
    // A last line without a line end gets the listing's own (that of its first line), so every line ends.
    const std::string_view firstLine = LineOf(listing->input, listing->lines.front());
    const std::string_view lineEnd = firstLine.ends_with("\r\n") ? "\r\n" : "\n";

    const QString outputPath = parser.value(outputOption);
    COutput output(outputPath);
    if (const CResult<void> opened = output.Open(); !opened)
        return ReportFailure(opened.Error());
    for (const std::uint32_t row : order.order) {
        const std::string_view line = LineOf(listing->input, listing->lines[row]);
        output.Buffer().append(line);
        if (!line.ends_with('\n'))
            output.Buffer().append(lineEnd);
        output.Flush();
    }
    if (const CResult<void> committed = output.Commit(); !committed)
        return ReportFailure(committed.Error());
    const std::string summary =
        "reads: " + std::to_string(reads->size()) + ", files read: " + std::to_string(order.filesRead) +
        ", files never read: " + std::to_string(order.order.size() - order.filesRead) + "\n";
    std::fputs(summary.c_str(), outputPath == QStringLiteral("-") ? stderr : stdout);
    return kStatusOk;
}
