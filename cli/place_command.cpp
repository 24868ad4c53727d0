// quarrow-cli place: the files a listing names moved to its start blocks, everything else left as it is.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <QCommandLineParser>
#include <QFile>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/disc_volume_input.h"
#include "cli/image_map.h"
#include "cli/listing_input.h"
#include "disc/block_edit.h"
#include "disc/block_edit_output.h"

int RunPlaceCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Moves every file the --layout listing names so that it starts at the listing's StartLba; files "
        "it does not name, directories, descriptors, path tables and the system area stay byte for byte. "
        "A layout that would put a file over another file, a directory, a descriptor or the system area "
        "is refused with the first conflict named. The data is read from the unedited image, so files "
        "may swap places; the result replaces OUT (or, with --in-place, IMAGE) only when complete.",
        "image", "The ISO 9660 image.");
    const QCommandLineOption layoutListing(QStringLiteral("layout"),
                                           QStringLiteral("The listing of start blocks (three columns)."),
                                           QStringLiteral("listing"));
    const QCommandLineOption outputOption(
        QStringLiteral("o"), QStringLiteral("Write the placed image to OUT."), QStringLiteral("out"));
    const QCommandLineOption inPlaceOption(
        QStringLiteral("in-place"), QStringLiteral("Replace IMAGE itself once the placed copy is complete."));
    const QCommandLineOption mapOption(
        QStringLiteral("map"), QStringLiteral("Also write the placed image's three-column listing to MAP."),
        QStringLiteral("map"));
    parser.addOptions({layoutListing, outputOption, inPlaceOption, mapOption});
    if (const std::optional<int> status = ParseCommand(parser, "place", args))
        return *status;
    if (!parser.isSet(layoutListing) || parser.isSet(outputOption) == parser.isSet(inPlaceOption)) {
        PrintError(QStringLiteral("place: --layout LISTING and either -o OUT or --in-place are needed (see "
                                  "quarrow-cli place --help)"));
        return kStatusError;
    }
    const QString image = parser.positionalArguments().first();
    const QString output = parser.isSet(inPlaceOption) ? image : parser.value(outputOption);
    // The listing's layout comes from Scan's rules, as for every listing command.
    QCommandLineParser scanOnly;
    AddLayoutOption(scanOnly);
    scanOnly.parse({QStringLiteral("place")});
    const CResult<ListingInput> listing = ReadListing(parser.value(layoutListing), scanOnly);
    if (!listing)
        return ReportFailure(listing.Error());
    if (listing->layout == ListingLayout::FileList) {
        PrintError(listing->ShownName(), 1, QStringLiteral("a file list gives no start blocks"));
        return kStatusError;
    }
    const CResult<std::vector<ListingLine>> lines = ReadListingLines(*listing);
    if (!lines)
        return ReportFailure(lines.Error());
    std::vector<PlaceRequest> requests;
    for (const ListingLine& line : *lines)
        requests.push_back({std::string(line.name), line.startLba, line.fileSize});

    const CResult<IsoVolume> volume = ReadVolumeOf(image);
    if (!volume)
        return ReportFailure(volume.Error());
    const CResult<BlockEditPlan> planned = PlanPlace(*volume, requests);
    if (!planned)
        return ReportFailure(PlacedIn(image, planned.Error()));
    const std::string written = QFile::encodeName(output).toStdString();
    if (const CResult<void> edited =
            WriteEditedCopy(QFile::encodeName(image).toStdString(), written, *planned);
        !edited)
        return ReportFailure(PlacedIn(output, edited.Error()));
    for (const std::string& line : planned->lines)
        std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (parser.isSet(mapOption))
        if (const CResult<void> mapped = WriteImageMap(output, parser.value(mapOption)); !mapped)
            return ReportFailure(mapped.Error());
    return kStatusOk;
}
