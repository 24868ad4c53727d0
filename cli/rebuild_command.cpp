// quarrow-cli rebuild: a new disc image whose file data lie in the order of a listing's lines.
#include <optional>
#include <string>
#include <vector>

#include <QCommandLineParser>
#include <QFile>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/image_map.h"
#include "cli/listing_input.h"
#include "disc/disc_image.h"

int RunRebuildCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Writes a new disc image with the files, names (ISO 9660, Rock Ridge, Joliet) and content of "
        "IMAGE, whose file data lie in the order of the lines of the --order listing: its names "
        "(/PATH/NAME, as import writes them) come first, in line order, and the files it does not name "
        "follow in their order in IMAGE. The listing may be any layout the window loads; - reads it "
        "from stdin. IMAGE is only read; the new image appears only once it is complete.",
        "image", "The disc image to rebuild.");
    const QCommandLineOption orderOption(QStringLiteral("order"),
                                         QStringLiteral("The listing that orders the files."),
                                         QStringLiteral("listing"));
    const QCommandLineOption outputOption(QStringLiteral("o"), QStringLiteral("The new image to write."),
                                          QStringLiteral("new_image"));
    const QCommandLineOption ignoreMissingOption(
        QStringLiteral("ignore-missing"),
        QStringLiteral("Pass over names the image does not hold (otherwise an error naming the line)."));
    const QCommandLineOption dropUdfOption(
        QStringLiteral("drop-udf"),
        QStringLiteral(
            "Write the new image without the UDF file system of IMAGE (otherwise an IMAGE with UDF "
            "descriptors is refused, since the new image cannot carry them)."));
    const QCommandLineOption dropHybridOption(
        QStringLiteral("drop-hybrid"),
        QStringLiteral("Write the new image without IMAGE's Apple partition map, HFS+ volume, GPT, or MBR "
                       "partitions that start past the system area (otherwise refused: they would point at "
                       "moved data). The system area is copied with those tables cleared."));
    const QCommandLineOption mapOption(
        QStringLiteral("map"), QStringLiteral("Also write the new image's three-column listing to MAP."),
        QStringLiteral("map"));
    parser.addOptions(
        {orderOption, outputOption, ignoreMissingOption, dropUdfOption, dropHybridOption, mapOption});
    AddLayoutOption(parser);
    if (const std::optional<int> status = ParseCommand(parser, "rebuild", args))
        return *status;
    if (!parser.isSet(orderOption) || !parser.isSet(outputOption)) {
        PrintError(
            QStringLiteral("rebuild: --order LISTING and -o NEW_IMAGE are both needed (see quarrow-cli "
                           "rebuild --help)"));
        return kStatusError;
    }
    const QString image = parser.positionalArguments().first();
    const QString output = parser.value(outputOption);
    if (output == QStringLiteral("-")) {
        PrintError(QStringLiteral("rebuild: the new image is written to a file, not to standard output"));
        return kStatusError;
    }

    // The listing is read as the window's loaders read it: its layout from Scan (or --layout), its names
    // from the same line pass.
    const CResult<ListingInput> listing = ReadListing(parser.value(orderOption), parser);
    if (!listing)
        return ReportFailure(listing.Error());
    const CResult<std::vector<ListingLine>> lines = ReadListingLines(*listing);
    if (!lines)
        return ReportFailure(lines.Error());
    std::vector<std::string> names;
    for (const ListingLine& line : *lines)
        names.emplace_back(line.name);

    const CResult<DiscRebuild> result =
        RebuildDiscImage(QFile::encodeName(image).toStdString(), names, parser.isSet(ignoreMissingOption),
                         QFile::encodeName(output).toStdString(), {},
                         (parser.isSet(dropUdfOption) ? kDropUdf : kDropNone) |
                             (parser.isSet(dropHybridOption) ? kDropHybrid : kDropNone));
    if (result) {
        QStringList dropped;
        for (const std::string& what : result->dropped)
            dropped << QString::fromStdString(what);
        if (!dropped.isEmpty())
            PrintError(QStringLiteral("rebuild: the new image leaves out %1")
                           .arg(dropped.join(QStringLiteral(", "))));
        if (parser.isSet(mapOption))
            if (const CResult<void> mapped = WriteImageMap(output, parser.value(mapOption)); !mapped)
                return ReportFailure(mapped.Error());
        return kStatusOk;
    }
    const Failure& failure = result.Error();
    const QString reason = QString::fromStdString(failure.message);
    // A name the image lacks is named by its line of the listing, a refused structure by the option that
    // lets the new image go without it.
    if (failure.line > 0)
        return ReportFailure(FailureIn(
            listing->ShownName(), LineNumberOfRow(*listing, static_cast<std::size_t>(failure.line - 1)),
            QStringLiteral("%1 (--ignore-missing passes over such names)").arg(reason)));
    if (failure.code != kDropNone)
        return ReportFailure(
            FailureIn(image, 0,
                      QStringLiteral("%1 (%2 writes the new image without it)")
                          .arg(reason, QString::fromLatin1(failure.code == kDropUdf ? "--drop-udf"
                                                           : failure.code == kDropHybrid
                                                               ? "--drop-hybrid"
                                                               : "--drop-udf --drop-hybrid"))));
    return ReportFailure(PlacedIn(image, failure));
}
