// quarrow-cli export: sort weights that put the files of a listing on the disc in the listing's order.
#include <string_view>
#include <vector>

#include <QCommandLineParser>
#include <QFile>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/listing_input.h"
#include "listing/sort_weights.h"
#include "sorting/radix_sort.h"

int RunExportCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Writes the weights that make a disc image tool lay the listing's files out in the listing's "
        "order: mkisofs-sort for the -sort file of mkisofs and genisoimage (lines \"path weight\"), "
        "xorriso-weights for --sort-weight-list of xorrisofs (lines \"weight /path\"). The first "
        "line gets the highest weight.",
        "listing", "The listing, in the order wanted on the disc; - for stdin.");
    const QCommandLineOption toOption(QStringLiteral("to"),
                                      QStringLiteral("The format: mkisofs-sort or xorriso-weights."),
                                      QStringLiteral("format"));
    const QCommandLineOption prefixOption(
        QStringLiteral("prefix"),
        QStringLiteral(
            "Put dir/ before each name: for mkisofs-sort the folder given to the tool (default: ., "
            "for the tool run in that folder), for xorriso-weights the folder in the image (default: "
            "the root)."),
        QStringLiteral("dir"));
    const QCommandLineOption outputOption(QStringLiteral("o"),
                                          QStringLiteral("Write to file (default and -: stdout)."),
                                          QStringLiteral("file"));
    parser.addOptions({toOption, prefixOption, outputOption});
    AddLayoutOption(parser);
    if (const std::optional<int> status = ParseCommand(parser, "export", args))
        return *status;

    const std::optional<SortWeightFormat> format =
        SortWeightFormatNamed(parser.value(toOption).toStdString());
    if (!format) {
        PrintError(parser.isSet(toOption)
                       ? QStringLiteral("unknown format '%1' (mkisofs-sort or xorriso-weights)")
                             .arg(parser.value(toOption))
                       : QStringLiteral("export: --to FORMAT is required (mkisofs-sort or xorriso-weights)"));
        return kStatusError;
    }
    const QByteArray prefix = QFile::encodeName(parser.value(prefixOption));
    if (prefix.contains('\n') || prefix.contains('\0')) {
        PrintError(
            QStringLiteral("the --prefix holds a line feed or NUL byte, which no weight file can carry"));
        return kStatusError;
    }

    const QString path = parser.positionalArguments().first();
    const CResult<ListingInput> input = ReadListing(path, parser);
    if (!input)
        return ReportFailure(input.Error());
    const CResult<std::vector<ListingLine>> lines = ReadListingLines(*input);
    if (!lines)
        return ReportFailure(lines.Error());
    const std::vector<ListingLine>& rows = *lines;

    std::string out;
    out.reserve(input->Bytes().size() + static_cast<std::size_t>(prefix.size() + 10) * rows.size());
    AdviseHugePages(out.data(), out.capacity());
    const CResult<void> written = AppendSortWeights(
        out, *format, std::string_view(prefix.constData(), static_cast<std::size_t>(prefix.size())),
        rows.size(), [&rows](std::size_t i) { return rows[i].name; });
    if (!written) {
        // The refused name's place in the list is its row; the message names the listing's line.
        const Failure& refusal = written.Error();
        return ReportFailure(FailureIn(
            input->ShownName(), LineNumberOfRow(*input, static_cast<std::size_t>(refusal.line - 1)),
            QStringLiteral("cannot write this name as %1: %2")
                .arg(QLatin1String(SortWeightFormatName(*format)), QString::fromStdString(refusal.message))));
    }
    return ExitStatusOf(
        WriteOutput(parser.isSet(outputOption) ? parser.value(outputOption) : QStringLiteral("-"), out));
}
