// quarrow-cli replace: new content for files of a disc image, every other block left where it was.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/disc_volume_input.h"
#include "cli/image_map.h"
#include "disc/block_edit.h"
#include "disc/block_edit_output.h"

namespace {

std::optional<std::uint32_t> BlockNumber(const QString& text) {
    bool ok = false;
    const qulonglong value = text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)
                                 ? text.mid(2).toULongLong(&ok, 16)
                                 : text.toULongLong(&ok, 10);
    if (!ok || value > UINT32_MAX)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

int UsageError(const QString& reason) {
    PrintError(QStringLiteral("replace: %1 (see quarrow-cli replace --help)").arg(reason));
    return kStatusError;
}

} // namespace

int RunReplaceCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Replaces the content of files of IMAGE and keeps every other block where it is. New data that "
        "fits in a file's blocks keeps its start block; larger data grows into free blocks right after "
        "it, else moves to the lowest free run that fits, else past the end of the volume (whose size "
        "then grows). Every directory record of the file (ISO 9660, Joliet, hard links) gets the new "
        "extent and size. Prints one line per file: /PATH: OLD_START+BLOCKS -> NEW_START+BLOCKS (how). "
        "Refuses, changing nothing: a name the image lacks, a file of several extents, an El Torito boot "
        "image that would move, a UDF or HFS+ bridge.",
        "image", "The ISO 9660 image.");
    const QCommandLineOption fileOption(
        QStringLiteral("file"),
        QStringLiteral("The file /PATH of the image gets the content of NEWFILE "
                       "(may be given several times)."),
        QStringLiteral("/PATH=NEWFILE"));
    const QCommandLineOption outputOption(
        QStringLiteral("o"), QStringLiteral("Write the edited image to OUT (IMAGE is only read)."),
        QStringLiteral("out"));
    const QCommandLineOption inPlaceOption(
        QStringLiteral("in-place"),
        QStringLiteral("Edit IMAGE itself: new data first, then the records (see the README on crashes)."));
    const QCommandLineOption mapOption(
        QStringLiteral("map"), QStringLiteral("Also write the edited image's three-column listing to MAP."),
        QStringLiteral("map"));
    const QCommandLineOption atEndOption(QStringLiteral("at-end"),
                                         QStringLiteral("Put the new data past the end of the volume."));
    const QCommandLineOption atOption(
        QStringLiteral("at"),
        QStringLiteral("Put the new data of the one file at block LBA (decimal or "
                       "0x hex), which must be free."),
        QStringLiteral("lba"));
    parser.addOptions({fileOption, outputOption, inPlaceOption, mapOption, atEndOption, atOption});
    if (const std::optional<int> status = ParseCommand(parser, "replace", args))
        return *status;
    if (parser.isSet(outputOption) == parser.isSet(inPlaceOption))
        return UsageError(QStringLiteral("give either -o OUT or --in-place"));
    if (parser.isSet(atEndOption) && parser.isSet(atOption))
        return UsageError(QStringLiteral("--at-end and --at exclude each other"));
    if (!parser.isSet(fileOption))
        return UsageError(QStringLiteral("no --file /PATH=NEWFILE given"));
    const QString image = parser.positionalArguments().first();
    const QString output = parser.value(outputOption);
    if (output == QStringLiteral("-"))
        return UsageError(QStringLiteral("the image is written to a file, not to standard output"));

    ReplacePlacement placement = parser.isSet(atEndOption) ? ReplacePlacement::AtEnd : ReplacePlacement::Auto;
    std::uint32_t atBlock = 0;
    if (parser.isSet(atOption)) {
        const std::optional<std::uint32_t> block = BlockNumber(parser.value(atOption));
        if (!block)
            return UsageError(
                QStringLiteral("--at takes a block number, not '%1'").arg(parser.value(atOption)));
        placement = ReplacePlacement::AtBlock;
        atBlock = *block;
    }

    std::vector<ReplaceRequest> requests;
    for (const QString& value : parser.values(fileOption)) {
        const qsizetype equals = value.indexOf(QLatin1Char('='));
        if (equals <= 0 || equals + 1 == value.size() || !value.startsWith(QLatin1Char('/')))
            return UsageError(QStringLiteral("--file takes /PATH=NEWFILE, not '%1'").arg(value));
        const QString source = value.mid(equals + 1);
        const QFileInfo info(source);
        if (!info.isFile()) {
            PrintError(source, 0, QStringLiteral("not a readable file"));
            return kStatusError;
        }
        requests.push_back({value.left(equals).toStdString(), QFile::encodeName(source).toStdString(),
                            static_cast<std::uint64_t>(info.size())});
    }

    const CResult<IsoVolume> volume = ReadVolumeOf(image);
    if (!volume)
        return ReportFailure(volume.Error());
    const CResult<BlockEditPlan> planned = PlanReplace(*volume, requests, placement, atBlock);
    if (!planned)
        return ReportFailure(PlacedIn(image, planned.Error()));
    const std::string imagePath = QFile::encodeName(image).toStdString();
    const std::string written =
        parser.isSet(inPlaceOption) ? imagePath : QFile::encodeName(output).toStdString();
    const CResult<void> edited = parser.isSet(inPlaceOption) ? EditImageInPlace(imagePath, *planned)
                                                             : WriteEditedCopy(imagePath, written, *planned);
    if (!edited)
        return ReportFailure(PlacedIn(parser.isSet(inPlaceOption) ? image : output, edited.Error()));
    for (const std::string& line : planned->lines)
        std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (parser.isSet(mapOption))
        if (const CResult<void> mapped =
                WriteImageMap(QFile::decodeName(written.c_str()), parser.value(mapOption));
            !mapped)
            return ReportFailure(mapped.Error());
    return kStatusOk;
}
