// quarrow-cli import: the three-column listing of a disc image, read from the image itself or from the
// report of xorriso's report_lba or of isoinfo -l.
#include <QCommandLineParser>
#include <QFile>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "disc/disc_image.h"
#include "disc/extent_listing.h"
#include "disc/isoinfo_report.h"
#include "disc/report_lba_report.h"

namespace {

int UsageError(const QString& reason) {
    PrintError(QStringLiteral("import: ") + reason + QStringLiteral(" (see quarrow-cli import --help)"));
    return kStatusError;
}

// What the parser refused, in the words import has always used: the unknown option as it was written,
// or the option left without its value (the parser takes the next argument as the value, so only the
// last argument can lack one).
QString ParseRefusal(const QCommandLineParser& parser, const QStringList& args) {
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty()) {
        const QString last = args.isEmpty() ? QString() : args.constLast();
        if (last == QStringLiteral("-o") || last == QStringLiteral("--o") ||
            last == QStringLiteral("--from") || last == QStringLiteral("--layout"))
            return last + QStringLiteral(" needs a value");
        QString reason = parser.errorText();
        if (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        return reason;
    }
    for (const QString& arg : args) {
        const bool isLong = arg.startsWith(QStringLiteral("--"));
        if (arg.size() < 2 || !arg.startsWith(QLatin1Char('-')))
            continue;
        const QString name = isLong ? arg.mid(2).section(QLatin1Char('='), 0, 0) : arg.mid(1);
        if (isLong ? name == unknown.constFirst() : name.contains(unknown.constFirst()))
            return QStringLiteral("unknown option '%1'").arg(arg);
    }
    return QStringLiteral("unknown option '%1'").arg(unknown.constFirst());
}

} // namespace

int RunImportCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Writes the three-column listing of a disc image: one line START|SIZE|/PATH/NAME per extent of "
        "each file, start block and size in eight hexadecimal digits, lines in block order, CR LF line "
        "ends. Folders are not listed. Names are the Rock Ridge names, else the Joliet names, else the "
        "ISO 9660 names without their ;1 version. A file of several extents (over 4 GiB) gives one "
        "line per extent, each with the same path. Exit status: 0 on success, 2 when the image or "
        "report cannot be read or the options are wrong.",
        "image", "An ISO 9660 image file; with --from, the report ('-' reads standard input).");
    const QCommandLineOption fromOption(
        QStringLiteral("from"),
        QStringLiteral(
            "Read a tool's report instead of an image: report-lba, the output of: xorriso -indev "
            "IMAGE -find / -type f -exec report_lba --; isoinfo, the output of: isoinfo -l -i IMAGE "
            "(also with -R or -J)."),
        QStringLiteral("tool"));
    const QCommandLineOption layoutOption(
        QStringLiteral("layout"), QStringLiteral("The three-column layout, 3 (the only one written)."),
        QStringLiteral("layout"));
    const QCommandLineOption outputOption(
        QStringLiteral("o"),
        QStringLiteral("Write to file instead of standard output ('-' is standard output)."),
        QStringLiteral("file"), QStringLiteral("-"));
    parser.addOptions({fromOption, layoutOption, outputOption});
    // The parser's refusals and the missing or extra input are told in import's own words; --help, as
    // every command gives it.
    if (!parser.parse(QStringList{QStringLiteral("quarrow-cli import")} + args))
        return UsageError(ParseRefusal(parser, args));
    if (const std::optional<int> status = HelpIfAsked(parser, "import"))
        return *status;

    const QString from = parser.value(fromOption);
    if (parser.isSet(fromOption) && from != QStringLiteral("report-lba") && from != QStringLiteral("isoinfo"))
        return UsageError(QStringLiteral("--from takes report-lba or isoinfo, not '%1'").arg(from));
    if (parser.isSet(layoutOption)) {
        const QString layout = parser.value(layoutOption);
        // The block of a file's directory record is not given by the image reader, and an image with
        // Joliet holds two records per file, so one LbaPos could not be exact.
        if (layout == QStringLiteral("4"))
            return UsageError(QStringLiteral("--layout 4 is not available: a file's directory record block "
                                             "cannot be given exactly"));
        if (layout != QStringLiteral("3"))
            return UsageError(QStringLiteral("--layout takes 3, not '%1'").arg(layout));
    }
    const QStringList inputs = parser.positionalArguments();
    if (inputs.isEmpty())
        return UsageError(from.isEmpty() ? QStringLiteral("no image given")
                                         : QStringLiteral("no report given"));
    if (inputs.size() > 1)
        return UsageError(QStringLiteral("more than one input: '%1' and '%2'").arg(inputs[0], inputs[1]));
    const QString& input = inputs.constFirst();

    CResult<std::vector<DiscExtent>> extents = Failure();
    if (from.isEmpty()) {
        if (input == QStringLiteral("-"))
            return UsageError(QStringLiteral("an image is read from a file, not from standard input"));
        extents = ReadDiscImage(QFile::encodeName(input).toStdString());
        if (!extents)
            return ReportFailure(PlacedIn(input, extents.Error()));
    } else {
        const CResult<std::string> report = ReadInput(input);
        if (!report)
            return ReportFailure(report.Error());
        extents = from == QStringLiteral("isoinfo") ? ReadIsoinfoReport(*report) : ReadReportLba(*report);
        if (!extents)
            return ReportFailure(
                PlacedIn(input == QStringLiteral("-") ? QStringLiteral("<stdin>") : input, extents.Error()));
    }
    return ExitStatusOf(WriteOutput(parser.value(outputOption), FormatThreeColumnListing(*extents)));
}
