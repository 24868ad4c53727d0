// quarrow-cli diff: the files two images or listings place differently.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <QCommandLineParser>

#include "cli/cli_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/csv_field.h"
#include "cli/disc_volume_input.h"
#include "cli/listing_input.h"

namespace {

struct Placed {
    std::string path;
    std::uint32_t start = 0;
    std::uint32_t size = 0;
};

std::uint32_t Blocks(std::uint32_t size) {
    return static_cast<std::uint32_t>((std::uint64_t{size} + kIsoBlock - 1) / kIsoBlock);
}

std::string Run(const Placed& p) {
    return std::to_string(p.start) + "+" + std::to_string(Blocks(p.size));
}

// The files of an image (named as import names them) or the lines of a listing, in their order.
CResult<std::vector<Placed>> ReadPlaced(const QString& source, const QCommandLineParser& parser) {
    std::vector<Placed> placed;
    if (source != QStringLiteral("-") && LooksLikeIsoImage(source)) {
        CResult<IsoVolume> volume = ReadVolumeOf(source, IsoTrees::Naming);
        if (!volume)
            return volume.Error();
        const bool joliet = volume->NamesFromJoliet();
        // The boot catalog's own file entry is left out, as the listing of import leaves it out.
        auto isCatalog = [&volume](const IsoRecord& record) {
            return std::any_of(volume->bootCatalog.begin(), volume->bootCatalog.end(),
                               [&record](const IsoRun& run) { return run.start == record.extent; });
        };
        placed.reserve(volume->records.size());
        for (IsoRecord& record : volume->records)
            if (!record.directory && record.joliet == joliet && !isCatalog(record))
                placed.push_back(
                    {std::move(record.path), record.extent + record.attributeBlocks, record.size});
        return placed;
    }
    const CResult<ListingInput> listing = ReadListing(source, parser);
    if (!listing)
        return listing.Error();
    const CResult<std::vector<ListingLine>> lines = ReadListingLines(*listing);
    if (!lines)
        return lines.Error();
    placed.reserve(lines->size());
    for (const ListingLine& line : *lines)
        placed.push_back({std::string(line.name), line.startLba, line.fileSize});
    return placed;
}

} // namespace

int RunDiffCommand(const QStringList& args) {
    QCommandLineParser parser;
    SetUpCommand(
        parser,
        "Lists the files that OLD and NEW (each an ISO 9660 image or a listing) place differently: moved "
        "(old and new START+BLOCKS), resized, added and removed, then a summary line. The exit status is "
        "0 when the two are the same, 1 when they differ.",
        "old", "The first image or listing.");
    parser.addPositionalArgument(QStringLiteral("new"), QStringLiteral("The second image or listing."));
    const QCommandLineOption csvOption(
        QStringLiteral("csv"),
        QStringLiteral("Print one row per file: change,path,old_start,old_size,new_start,new_size."));
    parser.addOption(csvOption);
    AddLayoutOption(parser);
    if (!parser.parse(QStringList{QStringLiteral("quarrow-cli diff")} + args) ||
        parser.isSet(QStringLiteral("help")) || parser.positionalArguments().size() != 2) {
        if (const std::optional<int> status = ParseCommand(parser, "diff", args))
            return *status;
        PrintError(QStringLiteral("diff: expects OLD and NEW (see quarrow-cli diff --help)"));
        return kStatusError;
    }
    const CResult<std::vector<Placed>> before = ReadPlaced(parser.positionalArguments()[0], parser);
    if (!before)
        return ReportFailure(before.Error());
    const CResult<std::vector<Placed>> after = ReadPlaced(parser.positionalArguments()[1], parser);
    if (!after)
        return ReportFailure(after.Error());

    // A file of several extents has several entries of one path: they pair up in order. Two images of one
    // tree list their files in the same order, so the common run of equal paths pairs up one to one;
    // only the rest is paired through a table of paths.
    const std::vector<Placed>& olds = *before;
    const std::vector<Placed>& news = *after;
    std::size_t common = 0;
    while (common < olds.size() && common < news.size() && olds[common].path == news[common].path)
        ++common;
    constexpr std::size_t kNone = SIZE_MAX;
    // For each path of NEW past the common run: its first entry not yet paired, and from each entry the
    // next one of the same path.
    std::unordered_map<std::string_view, std::size_t> firstFree;
    std::vector<std::size_t> nextSame(news.size(), kNone);
    std::vector<bool> paired(news.size(), false);
    firstFree.reserve(news.size() - common);
    for (std::size_t i = news.size(); i-- > common;) {
        auto [it, inserted] = firstFree.try_emplace(news[i].path, i);
        if (!inserted) {
            nextSame[i] = it->second;
            it->second = i;
        }
    }
    const bool csv = parser.isSet(csvOption);
    std::string moved, resized, added, removed, rows = "change,path,old_start,old_size,new_start,new_size\n";
    std::size_t movedCount = 0, resizedCount = 0, addedCount = 0, removedCount = 0, sameCount = 0;
    auto row = [&rows, csv](const char* change, const Placed* old, const Placed* now) {
        if (!csv)
            return;
        const Placed& any = old ? *old : *now;
        rows +=
            CsvField(change) + "," + CsvField(any.path) + "," +
            (old ? std::to_string(old->start) + "," + std::to_string(old->size) : std::string(",")) + "," +
            (now ? std::to_string(now->start) + "," + std::to_string(now->size) : std::string(",")) + "\n";
    };
    for (std::size_t i = 0; i < olds.size(); ++i) {
        const Placed& old = olds[i];
        std::size_t match = i < common ? i : kNone;
        if (match == kNone) {
            auto found = firstFree.find(old.path);
            if (found != firstFree.end() && found->second != kNone) {
                match = found->second;
                found->second = nextSame[match];
            }
        }
        if (match == kNone) {
            removed +=
                "removed " + old.path + ": " + Run(old) + " (" + std::to_string(old.size) + " bytes)\n";
            ++removedCount;
            row("removed", &old, nullptr);
            continue;
        }
        paired[match] = true;
        const Placed& now = news[match];
        // An empty file holds no block: where its record points is no move.
        const bool isMoved = old.start != now.start && (old.size > 0 || now.size > 0);
        const bool isResized = old.size != now.size;
        if (isResized) {
            resized += std::string(isMoved ? "moved, resized " : "resized ") + old.path + ": " + Run(old) +
                       " (" + std::to_string(old.size) + " bytes) -> " + Run(now) + " (" +
                       std::to_string(now.size) + " bytes)\n";
            // The summary counts such a file both as moved and as resized, as its line says.
            ++resizedCount;
            movedCount += isMoved ? 1 : 0;
            row(isMoved ? "moved, resized" : "resized", &old, &now);
        } else if (isMoved) {
            moved += "moved " + old.path + ": " + Run(old) + " -> " + Run(now) + "\n";
            ++movedCount;
            row("moved", &old, &now);
        } else {
            ++sameCount;
            row("same", &old, &now);
        }
    }
    for (std::size_t i = common; i < news.size(); ++i) {
        if (paired[i])
            continue;
        const Placed& now = news[i];
        added += "added " + now.path + ": " + Run(now) + " (" + std::to_string(now.size) + " bytes)\n";
        ++addedCount;
        row("added", nullptr, &now);
    }
    const std::string out =
        csv ? rows
            : moved + resized + added + removed +
                  QStringLiteral("%1 moved, %2 resized, %3 added, %4 removed, %5 unchanged\n")
                      .arg(movedCount)
                      .arg(resizedCount)
                      .arg(addedCount)
                      .arg(removedCount)
                      .arg(sameCount)
                      .toStdString();
    std::fwrite(out.data(), 1, out.size(), stdout);
    return movedCount + resizedCount + addedCount + removedCount == 0 ? kStatusOk : kStatusProblemFound;
}
