#include "disc/block_edit.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "disc/block_map.h"

namespace {

// Growing the image would leave the GPT's backup header inside it, no longer at its end where readers of
// the partition table look for it; moving it is not done, so such an edit is refused.
const char* const kGptWouldStayBehind =
    "the image would grow, and the backup header of its GPT would then no longer lie at its end";

void PutBoth32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(value >> (8 * i));
    for (int i = 3; i >= 0; --i)
        out += static_cast<char>(value >> (8 * i));
}

std::string Run(std::uint32_t start, std::uint32_t count) {
    return std::to_string(start) + "+" + std::to_string(count);
}

std::uint32_t BlocksOf(std::uint64_t bytes) {
    return static_cast<std::uint32_t>((bytes + kIsoBlock - 1) / kIsoBlock);
}

bool Overlaps(std::uint64_t aStart, std::uint64_t aCount, std::uint64_t bStart, std::uint64_t bCount) {
    return aStart < bStart + bCount && bStart < aStart + aCount;
}

// Why the image cannot be edited at all, or empty.
std::string BridgeRefusal(const IsoVolume& volume) {
    if (volume.udfBridge)
        return "the image is a UDF bridge, whose own file entries would still point at the old blocks (not "
               "supported yet)";
    if (volume.hfsBridge)
        return "the image has an HFS+ or HFS bridge, whose own records would still point at the old blocks "
               "(not "
               "supported yet)";
    if (volume.otherTree)
        return "the image has a second ISO 9660 tree of its own, whose records would still point at the old "
               "blocks (not supported yet)";
    return {};
}

// The records of the file named `path`: those of the naming tree, else of the other tree.
std::vector<const IsoRecord*> Named(const IsoVolume& volume, const std::string& path) {
    std::vector<const IsoRecord*> found;
    for (int pass = 0; pass < 2 && found.empty(); ++pass) {
        const bool joliet = volume.NamesFromJoliet() != (pass == 1);
        for (const IsoRecord& record : volume.records)
            if (record.joliet == joliet && record.path == path)
                found.push_back(&record);
    }
    return found;
}

// The one record of a plain file named `path` that an edit can move, or why there is none; `verb` says what
// the edit does ("replaced", "placed"). A path already in `named` (an earlier request) is refused too, and
// the path joins it.
CResult<const IsoRecord*> MovableFileNamedOnce(const IsoVolume& volume, const std::string& path,
                                               const char* verb, std::set<std::string>& named) {
    if (!named.insert(path).second)
        return Failure{path + ": named twice"};
    const std::vector<const IsoRecord*> records = Named(volume, path);
    if (records.empty())
        return Failure{path + ": the image has no file of that name"};
    const IsoRecord& target = *records.front();
    if (target.directory)
        return Failure{path + ": is a directory"};
    if (records.size() > 1 || target.multiExtent)
        return Failure{path + ": is a file of several extents, which cannot be " + verb};
    if (target.attributeBlocks > 0)
        return Failure{path + ": has an extended attribute record, which cannot be " + verb};
    return &target;
}

// Sizes the edited image for a volume of volumeBlocks blocks: the image never shrinks, and when the volume
// grows, the volume size of every primary and supplementary descriptor grows with it. Refused when a GPT
// at the image's end would stay behind, inside the grown volume.
CResult<void> GrowVolume(const IsoVolume& volume, std::uint64_t volumeBlocks, BlockEditPlan& plan) {
    plan.imageBytes = std::max<std::uint64_t>(volume.imageBytes, volumeBlocks * kIsoBlock);
    if (volume.gpt && plan.imageBytes > volume.imageBytes)
        return Failure{kGptWouldStayBehind};
    if (volumeBlocks <= volume.blockCount)
        return {};
    for (const IsoDescriptor& descriptor : volume.descriptors) {
        if (descriptor.udf || (descriptor.type != 1 && descriptor.type != 2))
            continue;
        std::string bytes;
        PutBoth32(bytes,
                  static_cast<std::uint32_t>(descriptor.volumeBlocks + (volumeBlocks - volume.blockCount)));
        plan.patches.push_back({std::uint64_t{descriptor.block} * kIsoBlock + 80, std::move(bytes)});
    }
    return {};
}

} // namespace

CResult<BlockEditPlan> PlanReplace(const IsoVolume& volume, const std::vector<ReplaceRequest>& requests,
                                   ReplacePlacement placement, std::uint32_t atBlock) {
    BlockEditPlan plan;
    const auto refuse = [](std::string reason) { return CResult<BlockEditPlan>(Failure{std::move(reason)}); };
    if (const std::string bridge = BridgeRefusal(volume); !bridge.empty())
        return refuse(bridge);
    if (placement == ReplacePlacement::AtBlock && requests.size() != 1)
        return refuse("--at places one file; give one --file with it");

    CBlockMap map(volume);
    std::uint64_t volumeEnd = volume.blockCount;
    for (const BlockUse& use : map.Uses())
        volumeEnd = std::max<std::uint64_t>(volumeEnd, std::uint64_t{use.start} + use.count);
    std::uint64_t volumeBlocks = volume.blockCount;
    std::set<std::uint32_t> extentsDone;
    std::set<std::string> pathsDone;

    for (const ReplaceRequest& request : requests) {
        const std::string& path = request.path;
        const CResult<const IsoRecord*> movable = MovableFileNamedOnce(volume, path, "replaced", pathsDone);
        if (!movable)
            return movable.Error();
        const IsoRecord& target = **movable;
        if (request.size > UINT32_MAX)
            return refuse(path + ": the new file is 4 GiB or larger and would need several extents");

        // Every record of the same data: its Joliet twin and hard links. An empty file has no data of its
        // own to share, so only the records of its own name count.
        std::vector<const IsoRecord*> records;
        for (const IsoRecord& record : volume.records) {
            if (record.directory)
                continue;
            const bool same = target.size > 0 ? record.extent == target.extent && record.size > 0
                                              : record.size == 0 && record.path == path;
            if (!same && &record != &target)
                continue;
            if (record.size != target.size)
                return refuse(path + ": shares its blocks with " + record.path + ", a file of another size");
            if (record.multiExtent)
                return refuse(path + ": shares its blocks with a file of several extents");
            records.push_back(&record);
        }
        if (target.size > 0 && !extentsDone.insert(target.extent).second)
            return refuse(path + ": is the same file (a hard link) as another file named before");

        const std::uint32_t oldCount = target.Blocks();
        const std::uint32_t newCount = BlocksOf(request.size);
        std::uint32_t start = target.extent;
        std::string how = "(in place)";
        // A file's own blocks are free for itself.
        auto freeForIt = [&](std::uint64_t begin, std::uint64_t count) {
            if (begin + count > UINT32_MAX)
                return false;
            const std::uint64_t ownEnd = std::uint64_t{target.extent} + oldCount;
            if (begin < target.extent &&
                !map.IsFree(static_cast<std::uint32_t>(begin),
                            static_cast<std::uint32_t>(std::min<std::uint64_t>(begin + count, target.extent) -
                                                       begin)))
                return false;
            const std::uint64_t after = std::max<std::uint64_t>(begin, ownEnd);
            return after >= begin + count || map.IsFree(static_cast<std::uint32_t>(after),
                                                        static_cast<std::uint32_t>(begin + count - after));
        };
        if (placement == ReplacePlacement::AtBlock) {
            if (!freeForIt(atBlock, newCount))
                return refuse(path + ": blocks " + Run(atBlock, newCount) + " are not free");
            start = atBlock;
            if (start != target.extent)
                how = "(moved: --at)";
        } else if (placement == ReplacePlacement::AtEnd) {
            start = static_cast<std::uint32_t>(volumeEnd);
            how = "(moved: --at-end)";
        } else if (newCount > oldCount && !freeForIt(target.extent, newCount)) {
            const std::optional<std::uint32_t> run = map.LowestFreeRun(newCount);
            start = run ? *run : static_cast<std::uint32_t>(volumeEnd);
            how = "(moved: no room after it)";
        }
        if (std::uint64_t{start} + newCount > UINT32_MAX)
            return refuse(path + ": the image would grow past 2^32 blocks");
        if (start != target.extent || newCount > oldCount) {
            for (const IsoRun& boot : volume.bootImages)
                if (Overlaps(boot.start, boot.count, target.extent, std::max<std::uint32_t>(oldCount, 1)) &&
                    start != target.extent)
                    return refuse(path + ": is an El Torito boot image, which would have to move");
        }

        plan.lines.push_back(path + ": " + Run(target.extent, oldCount) + " -> " + Run(start, newCount) +
                             " " + how);
        plan.data.push_back({std::uint64_t{start} * kIsoBlock, request.sourcePath, request.size,
                             std::uint64_t{newCount} * kIsoBlock});
        // The blocks given up, that the new data does not cover.
        for (std::uint64_t block = target.extent, end = std::uint64_t{target.extent} + oldCount;
             block < end;) {
            if (block >= start && block < std::uint64_t{start} + newCount) {
                block = std::uint64_t{start} + newCount;
                continue;
            }
            const std::uint64_t stop = block < start ? std::min<std::uint64_t>(end, start) : end;
            plan.zeros.push_back({block * kIsoBlock, (stop - block) * kIsoBlock});
            block = stop;
        }
        for (const IsoRecord* record : records) {
            std::string bytes;
            PutBoth32(bytes, start);
            PutBoth32(bytes, static_cast<std::uint32_t>(request.size));
            plan.patches.push_back({record->offset + 2, std::move(bytes)});
        }
        if (newCount > 0 && (start != target.extent || newCount > oldCount))
            map.Reserve(start, newCount, path);
        volumeEnd = std::max<std::uint64_t>(volumeEnd, std::uint64_t{start} + newCount);
        volumeBlocks = std::max<std::uint64_t>(volumeBlocks, std::uint64_t{start} + newCount);
    }

    if (CResult<void> grown = GrowVolume(volume, volumeBlocks, plan); !grown)
        return grown.Error();
    return plan;
}

CResult<BlockEditPlan> PlanPlace(const IsoVolume& volume, const std::vector<PlaceRequest>& requests) {
    BlockEditPlan plan;
    const auto refuse = [](std::string reason) { return CResult<BlockEditPlan>(Failure{std::move(reason)}); };
    if (const std::string bridge = BridgeRefusal(volume); !bridge.empty())
        return refuse(bridge);

    struct Move {
        const IsoRecord* target;
        std::uint32_t start;
    };
    std::vector<Move> moves;
    std::map<std::uint32_t, std::uint32_t> startOfExtent; // old extent -> new start, hard links agree
    std::set<std::string> paths;
    for (const PlaceRequest& request : requests) {
        const std::string& path = request.path;
        const CResult<const IsoRecord*> movable = MovableFileNamedOnce(volume, path, "placed", paths);
        if (!movable)
            return movable.Error();
        const IsoRecord& target = **movable;
        if (request.size != target.size)
            return refuse(path + ": the listing gives " + std::to_string(request.size) +
                          " bytes, the image holds " + std::to_string(target.size));
        if (target.size == 0 || request.startLba == target.extent)
            continue;
        for (const IsoRun& boot : volume.bootImages)
            if (Overlaps(boot.start, boot.count, target.extent, target.Blocks()))
                return refuse(path + ": is an El Torito boot image, which would have to move");
        const auto [it, added] = startOfExtent.emplace(target.extent, request.startLba);
        if (!added) {
            if (it->second != request.startLba)
                return refuse(path + ": is a hard link of a file placed at another block");
            continue;
        }
        moves.push_back({&target, request.startLba});
    }

    // The map of what stays: every structure, and the files that do not move.
    IsoVolume staying = volume;
    std::erase_if(staying.records, [&startOfExtent](const IsoRecord& record) {
        return !record.directory && record.size > 0 && startOfExtent.count(record.extent);
    });
    CBlockMap map(staying);
    std::uint64_t volumeBlocks = volume.blockCount;
    for (const Move& move : moves) {
        const IsoRecord& target = *move.target;
        const std::uint32_t count = target.Blocks();
        if (std::uint64_t{move.start} + count > UINT32_MAX)
            return refuse(target.path + ": block " + std::to_string(move.start) +
                          " is past the largest image");
        if (!map.IsFree(move.start, count)) {
            for (std::uint32_t b = move.start; b < move.start + count; ++b) {
                const std::vector<const BlockUse*> holders = map.Holders(b);
                if (!holders.empty())
                    return refuse(target.path + ": " + Run(move.start, count) + " would overlap " +
                                  DescribeUse(*holders.front()) + " at block " + std::to_string(b));
            }
        }
        map.Reserve(move.start, count, target.path);
        volumeBlocks = std::max<std::uint64_t>(volumeBlocks, std::uint64_t{move.start} + count);
    }

    // The old blocks no file will hold any more are zeroed, after all the data is written.
    std::vector<IsoRun> newRuns;
    for (const Move& move : moves) {
        const IsoRecord& target = *move.target;
        plan.lines.push_back(target.path + ": " + Run(target.extent, target.Blocks()) + " -> " +
                             Run(move.start, target.Blocks()) + " (placed)");
        EditData data;
        data.offset = std::uint64_t{move.start} * kIsoBlock;
        data.size = target.size;
        data.paddedSize = std::uint64_t{target.Blocks()} * kIsoBlock;
        data.imageOffset = std::uint64_t{target.extent} * kIsoBlock;
        plan.data.push_back(data);
        for (const IsoRecord& record : volume.records) {
            if (record.directory || record.size == 0 || record.extent != target.extent)
                continue;
            std::string bytes;
            PutBoth32(bytes, move.start);
            PutBoth32(bytes, record.size);
            plan.patches.push_back({record.offset + 2, std::move(bytes)});
        }
    }
    for (const Move& move : moves) {
        const IsoRecord& target = *move.target;
        for (std::uint32_t b = target.extent; b < target.extent + target.Blocks(); ++b)
            if (map.IsFree(b, 1))
                plan.zeros.push_back({std::uint64_t{b} * kIsoBlock, kIsoBlock});
    }
    if (CResult<void> grown = GrowVolume(volume, volumeBlocks, plan); !grown)
        return grown.Error();
    return plan;
}
