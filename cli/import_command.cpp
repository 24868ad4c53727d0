// quarrow-cli import: the three-column listing of a disc image, read from the image itself or from the
// report of xorriso's report_lba or of isoinfo -l.
#include <cstdio>

#include <QFile>

#include "cli/cli_io.h"
#include "cli/commands.h"
#include "disc/disc_image.h"
#include "disc/extent_listing.h"
#include "disc/isoinfo_report.h"
#include "disc/report_lba_report.h"

namespace {

constexpr const char* kImportUsage =
    "Usage: quarrow-cli import IMAGE [--layout 3] [-o OUT]\n"
    "       quarrow-cli import --from report-lba|isoinfo REPORT [-o OUT]\n"
    "\n"
    "Writes the three-column listing of a disc image: one line START|SIZE|/PATH/NAME per extent of each\n"
    "file, start block and size in eight hexadecimal digits, lines in block order, CR LF line ends.\n"
    "Folders are not listed. Names are the Rock Ridge names, else the Joliet names, else the ISO 9660\n"
    "names without their ;1 version. A file of several extents (over 4 GiB) gives one line per extent,\n"
    "each with the same path.\n"
    "\n"
    "  IMAGE                    an ISO 9660 image file\n"
    "  --from report-lba FILE   the output of: xorriso -indev IMAGE -find / -type f -exec report_lba --\n"
    "  --from isoinfo FILE      the output of: isoinfo -l -i IMAGE (also with -R or -J)\n"
    "                           FILE '-' reads standard input\n"
    "  --layout 3               the three-column layout (the only one written)\n"
    "  -o OUT                   write to OUT instead of standard output ('-' is standard output)\n"
    "\n"
    "Exit status: 0 on success, 2 when the image or report cannot be read or the options are wrong.\n";

int UsageError(const QString& reason) {
    PrintError(QStringLiteral("import: ") + reason + QStringLiteral(" (see quarrow-cli import --help)"));
    return kStatusError;
}

}  // namespace

int RunImportCommand(const QStringList& args) {
    QString input, from, output = QStringLiteral("-");
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QStringLiteral("-h") || arg == QStringLiteral("--help")) {
            std::fputs(kImportUsage, stdout);
            return kStatusOk;
        } else if (arg == QStringLiteral("-o") || arg == QStringLiteral("--from") ||
                   arg == QStringLiteral("--layout")) {
            if (!hasValue)
                return UsageError(arg + QStringLiteral(" needs a value"));
            const QString& value = args[++i];
            if (arg == QStringLiteral("-o")) {
                output = value;
            } else if (arg == QStringLiteral("--from")) {
                if (value != QStringLiteral("report-lba") && value != QStringLiteral("isoinfo"))
                    return UsageError(QStringLiteral("--from takes report-lba or isoinfo, not '%1'").arg(value));
                from = value;
            } else if (value == QStringLiteral("4")) {
                // The block of a file's directory record is not given by the image reader, and an image
                // with Joliet holds two records per file, so one LbaPos could not be exact.
                return UsageError(QStringLiteral("--layout 4 is not available: a file's directory record "
                                                 "block cannot be given exactly"));
            } else if (value != QStringLiteral("3")) {
                return UsageError(QStringLiteral("--layout takes 3, not '%1'").arg(value));
            }
        } else if (arg.startsWith(QLatin1Char('-')) && arg != QStringLiteral("-")) {
            return UsageError(QStringLiteral("unknown option '%1'").arg(arg));
        } else if (!input.isEmpty()) {
            return UsageError(QStringLiteral("more than one input: '%1' and '%2'").arg(input, arg));
        } else {
            input = arg;
        }
    }
    if (input.isEmpty())
        return UsageError(from.isEmpty() ? QStringLiteral("no image given") : QStringLiteral("no report given"));

    if (from.isEmpty() && input == QStringLiteral("-"))
        return UsageError(QStringLiteral("an image is read from a file, not from standard input"));
    CResult<std::vector<DiscExtent>> extents = Failure();
    if (from.isEmpty()) {
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
    return ExitStatusOf(WriteOutput(output, FormatThreeColumnListing(*extents)));
}
