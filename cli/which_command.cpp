// quarrow-cli which: what holds given blocks of a disc image, or which line of a listing covers them.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <QCommandLineParser>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/csv_field.h"
#include "cli/disc_volume_input.h"
#include "cli/listing_input.h"
#include "disc/block_map.h"

namespace {

struct Holder {
    std::string kind;
    std::string path;
    std::string shown;
    std::optional<std::uint64_t> offset;
};

Holder FileHolder(const std::string& path, std::uint64_t offset, std::uint64_t size) {
    return {"file", path, path + " (offset " + std::to_string(offset) + " of " + std::to_string(size) + ")",
            offset};
}

std::vector<Holder> ImageHolders(const CBlockMap& map, std::uint32_t block) {
    std::vector<Holder> holders;
    for (const BlockUse* use : map.Holders(block)) {
        if (use->kind == BlockUseKind::File) {
            const std::uint64_t offset = std::uint64_t{block - std::min(block, use->dataStart)} * kIsoBlock;
            holders.push_back(FileHolder(use->what, offset, use->size));
        } else {
            const bool named = use->kind == BlockUseKind::Directory;
            holders.push_back(
                {UseKindName(use->kind), named ? use->what : std::string(), DescribeUse(*use), {}});
        }
    }
    if (holders.empty())
        holders.push_back(
            {"free", {}, block < map.VolumeBlocks() ? "free" : "free (past the end of the volume)", {}});
    return holders;
}

std::vector<Holder> ListingHolders(const std::vector<ListingLine>& lines, std::uint32_t block) {
    std::vector<Holder> holders;
    for (const ListingLine& line : lines) {
        const std::uint64_t blocks = (std::uint64_t{line.fileSize} + kIsoBlock - 1) / kIsoBlock;
        if (block >= line.startLba && block - line.startLba < blocks)
            holders.push_back(FileHolder(std::string(line.name),
                                         std::uint64_t{block - line.startLba} * kIsoBlock, line.fileSize));
    }
    if (holders.empty())
        holders.push_back({"no file", {}, "no file", {}});
    return holders;
}

} // namespace

int RunWhichCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Says what holds each BLOCK (decimal, or hexadecimal after 0x) of an ISO 9660 image: a file (with "
        "the block's byte offset in it), a directory, a volume descriptor, a path table, the boot "
        "catalog, a boot image, the system area, or free. Given a listing instead of an image, says "
        "which of its lines covers the block, or no file.",
        "source", "The disc image or listing.");
    parser.addPositionalArgument(QStringLiteral("block"), QStringLiteral("The blocks to look up."),
                                 QStringLiteral("BLOCK..."));
    const QCommandLineOption csvOption(QStringLiteral("csv"),
                                       QStringLiteral("Print rows block,kind,path,offset with a header."));
    parser.addOption(csvOption);
    AddLayoutOption(parser);
    // The source and at least one block; ParseCommand expects exactly one positional argument.
    if (!parser.parse(QStringList{QStringLiteral("quarrow-cli which")} + args) ||
        parser.isSet(QStringLiteral("help")) || parser.positionalArguments().size() < 2) {
        if (const std::optional<int> status = ParseCommand(parser, "which", args))
            return *status;
        PrintError(
            QStringLiteral("which: expects a source and at least one block (see quarrow-cli which --help)"));
        return kStatusError;
    }
    QStringList positional = parser.positionalArguments();
    const QString source = positional.takeFirst();
    std::vector<std::uint32_t> blocks;
    for (const QString& text : positional) {
        bool ok = false;
        const qulonglong value = text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)
                                     ? text.mid(2).toULongLong(&ok, 16)
                                     : text.toULongLong(&ok, 10);
        if (!ok || value > UINT32_MAX) {
            PrintError(
                QStringLiteral("which: '%1' is not a block number (see quarrow-cli which --help)").arg(text));
            return kStatusError;
        }
        blocks.push_back(static_cast<std::uint32_t>(value));
    }

    std::optional<CBlockMap> map;
    std::optional<ListingInput> listing; // the lines' names lie in its bytes
    std::vector<ListingLine> lines;
    if (source != QStringLiteral("-") && LooksLikeIsoImage(source)) {
        const CResult<IsoVolume> volume = ReadVolumeOf(source);
        if (!volume)
            return ReportFailure(volume.Error());
        map.emplace(*volume);
    } else {
        CResult<ListingInput> input = ReadListing(source, parser);
        if (!input)
            return ReportFailure(input.Error());
        listing = std::move(*input);
        CResult<std::vector<ListingLine>> read = ReadListingLines(*listing);
        if (!read)
            return ReportFailure(read.Error());
        lines = std::move(*read);
    }

    const bool csv = parser.isSet(csvOption);
    std::string out = csv ? "block,kind,path,offset\n" : "";
    for (const std::uint32_t block : blocks) {
        for (const Holder& holder : map ? ImageHolders(*map, block) : ListingHolders(lines, block)) {
            if (csv)
                out += std::to_string(block) + "," + CsvField(holder.kind) + "," + CsvField(holder.path) +
                       "," + (holder.offset ? std::to_string(*holder.offset) : std::string()) + "\n";
            else
                out += std::to_string(block) + ": " + holder.shown + "\n";
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kStatusOk;
}
