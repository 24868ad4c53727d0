// quarrow-cli pack: a listing renumbered so its files lie back to back in its order.
#include <optional>
#include <string>
#include <vector>

#include <QCommandLineParser>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/disc_volume_input.h"
#include "cli/listing_input.h"
#include "disc/block_map.h"
#include "disc/extent_listing.h"

int RunPackCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Writes LISTING with new start blocks: its files back to back in the listing's order, from block "
        "--from, or from the first block after the structures of --image (descriptors, path tables, "
        "directories). Sizes round up to whole blocks; an empty file takes no block. The output is the "
        "three-column layout, for place.",
        "listing", "The listing to renumber; - reads standard input.");
    const QCommandLineOption fromOption(QStringLiteral("from"),
                                        QStringLiteral("The first block (decimal or 0x hex)."),
                                        QStringLiteral("lba"));
    const QCommandLineOption imageOption(QStringLiteral("image"),
                                         QStringLiteral("Start after this image's own structures."),
                                         QStringLiteral("image"));
    const QCommandLineOption outputOption(QStringLiteral("o"),
                                          QStringLiteral("The renumbered listing ('-' is "
                                                         "standard output)."),
                                          QStringLiteral("out"));
    parser.addOptions({fromOption, imageOption, outputOption});
    AddLayoutOption(parser);
    if (const std::optional<int> status = ParseCommand(parser, "pack", args))
        return *status;
    if (!parser.isSet(outputOption) || parser.isSet(fromOption) == parser.isSet(imageOption)) {
        PrintError(
            QStringLiteral("pack: -o OUT and either --from LBA or --image IMAGE are needed (see quarrow-cli "
                           "pack --help)"));
        return kStatusError;
    }
    std::uint64_t next = 0;
    if (parser.isSet(fromOption)) {
        const QString text = parser.value(fromOption);
        bool ok = false;
        next = text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive) ? text.mid(2).toULongLong(&ok, 16)
                                                                          : text.toULongLong(&ok, 10);
        if (!ok || next > UINT32_MAX) {
            PrintError(QStringLiteral("pack: --from takes a block number, not '%1'").arg(text));
            return kStatusError;
        }
    } else {
        const CResult<IsoVolume> volume = ReadVolumeOf(parser.value(imageOption));
        if (!volume)
            return ReportFailure(volume.Error());
        next = CBlockMap(*volume).FirstDataBlock();
    }
    const CResult<ListingInput> listing = ReadListing(parser.positionalArguments().first(), parser);
    if (!listing)
        return ReportFailure(listing.Error());
    const CResult<std::vector<ListingLine>> lines = ReadListingLines(*listing);
    if (!lines)
        return ReportFailure(lines.Error());
    std::vector<DiscExtent> extents;
    for (const ListingLine& line : *lines) {
        const std::uint64_t blocks = (std::uint64_t{line.fileSize} + 2047) / 2048;
        if (next + blocks > UINT32_MAX) {
            PrintError(listing->ShownName(), LineNumberOfRow(*listing, extents.size()),
                       QStringLiteral("the files run past the largest block number"));
            return kStatusError;
        }
        extents.push_back({static_cast<std::uint32_t>(next), line.fileSize, std::string(line.name)});
        next += blocks;
    }
    return ExitStatusOf(WriteOutput(parser.value(outputOption), FormatThreeColumnListing(extents)));
}
