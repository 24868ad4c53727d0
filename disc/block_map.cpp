#include "disc/block_map.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

namespace {

std::string DescriptorName(const IsoDescriptor& descriptor) {
    if (descriptor.udf)
        return "UDF volume recognition sequence";
    std::string name;
    switch (descriptor.type) {
    case 0:
        name = "boot record volume descriptor";
        break;
    case 1:
        name = "primary volume descriptor";
        break;
    case 2:
        name = descriptor.joliet ? "supplementary volume descriptor (Joliet)"
                                 : "supplementary volume descriptor";
        break;
    case 3:
        name = "volume partition descriptor";
        break;
    case 255:
        name = "volume descriptor set terminator";
        break;
    default:
        name = "volume descriptor";
        break;
    }
    return descriptor.sessionCopy ? name + " of the session" : name;
}

} // namespace

CBlockMap::CBlockMap(const IsoVolume& volume) : m_nVolumeBlocks(volume.blockCount) {
    Add({0, 16, BlockUseKind::SystemArea, "system area"});
    for (const IsoDescriptor& descriptor : volume.descriptors)
        Add({descriptor.block, 1, BlockUseKind::VolumeDescriptor, DescriptorName(descriptor)});
    for (const IsoRun& run : volume.reserved)
        Add({run.start, run.count, BlockUseKind::SystemArea, "system area of the session"});
    for (const IsoRun& run : volume.pathTables)
        Add({run.start, run.count, BlockUseKind::PathTable, "path table"});
    for (const IsoRecord& record : volume.records)
        if (record.directory)
            Add({record.extent, record.Blocks(), BlockUseKind::Directory, record.path, record.joliet});
    // Many records share a continuation block: one use per distinct run.
    std::unordered_set<std::uint64_t> seen;
    for (const IsoRun& run : volume.continuationAreas)
        if (seen.insert(std::uint64_t{run.start} << 32 | run.count).second)
            Add({run.start, run.count, BlockUseKind::ContinuationArea, "Rock Ridge continuation area"});
    for (const IsoRun& run : volume.bootCatalog)
        Add({run.start, run.count, BlockUseKind::BootCatalog, "boot catalog"});
    for (const IsoRun& run : volume.bootImages)
        Add({run.start, run.count, BlockUseKind::BootImage, "boot image"});
    for (const IsoRun& run : volume.partitions)
        Add({run.start, run.count, BlockUseKind::Partition, "partition"});
    // A file is named by the tree a listing uses; a Joliet record of the same extent adds nothing, one
    // found only in the other tree is listed under its own name.
    const bool namesFromJoliet = volume.NamesFromJoliet();
    seen.clear();
    for (int pass = 0; pass < 2; ++pass) {
        for (const IsoRecord& record : volume.records) {
            if (record.directory || record.Blocks() == 0 || (record.joliet == namesFromJoliet) != (pass == 0))
                continue;
            if (pass == 1 && seen.count(std::uint64_t{record.extent} << 32 | record.size))
                continue;
            seen.insert(std::uint64_t{record.extent} << 32 | record.size);
            BlockUse use{record.extent, record.Blocks(), BlockUseKind::File, record.path};
            use.size = record.size;
            use.dataStart = record.extent + record.attributeBlocks;
            Add(std::move(use));
        }
    }
    Index();
}

void CBlockMap::Add(BlockUse use) {
    if (use.count > 0)
        m_uses.push_back(std::move(use));
}

void CBlockMap::Index() {
    m_byStart.resize(m_uses.size());
    std::iota(m_byStart.begin(), m_byStart.end(), std::size_t{0});
    std::stable_sort(m_byStart.begin(), m_byStart.end(),
                     [this](std::size_t a, std::size_t b) { return m_uses[a].start < m_uses[b].start; });
    m_maxEnd.resize(m_byStart.size());
    std::uint64_t maxEnd = 0;
    m_used.clear();
    for (std::size_t i = 0; i < m_byStart.size(); ++i) {
        const BlockUse& use = m_uses[m_byStart[i]];
        const std::uint64_t end = std::uint64_t{use.start} + use.count;
        if (!m_used.empty() && use.start <= std::uint64_t{m_used.back().start} + m_used.back().count) {
            const std::uint64_t merged =
                std::max<std::uint64_t>(end, std::uint64_t{m_used.back().start} + m_used.back().count);
            m_used.back().count =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(merged - m_used.back().start, UINT32_MAX));
        } else {
            m_used.push_back({use.start, use.count});
        }
        maxEnd = std::max(maxEnd, end);
        m_maxEnd[i] = maxEnd;
    }
}

std::vector<const BlockUse*> CBlockMap::Holders(std::uint32_t block) const {
    std::vector<std::size_t> found;
    // Uses starting at or before the block; walk back while some earlier use may still reach it.
    auto it = std::upper_bound(m_byStart.begin(), m_byStart.end(), block,
                               [this](std::uint32_t b, std::size_t i) { return b < m_uses[i].start; });
    for (std::size_t i = static_cast<std::size_t>(it - m_byStart.begin()); i-- > 0;) {
        if (m_maxEnd[i] <= block)
            break;
        const BlockUse& use = m_uses[m_byStart[i]];
        if (std::uint64_t{use.start} + use.count > block)
            found.push_back(m_byStart[i]);
    }
    std::sort(found.begin(), found.end());
    std::vector<const BlockUse*> holders;
    for (const std::size_t i : found)
        holders.push_back(&m_uses[i]);
    return holders;
}

bool CBlockMap::IsFree(std::uint32_t start, std::uint32_t count) const {
    const std::uint64_t end = std::uint64_t{start} + count;
    auto it = std::upper_bound(m_used.begin(), m_used.end(), start,
                               [](std::uint32_t b, const IsoRun& run) { return b < run.start; });
    if (it != m_used.begin() && std::uint64_t{std::prev(it)->start} + std::prev(it)->count > start)
        return false;
    return it == m_used.end() || it->start >= end;
}

std::optional<std::uint32_t> CBlockMap::LowestFreeRun(std::uint32_t count) const {
    std::uint64_t from = 0;
    for (const IsoRun& run : m_used) {
        if (run.start >= from && run.start - from >= count && from + count <= m_nVolumeBlocks)
            return static_cast<std::uint32_t>(from);
        from = std::max<std::uint64_t>(from, std::uint64_t{run.start} + run.count);
    }
    if (from + count <= m_nVolumeBlocks)
        return static_cast<std::uint32_t>(from);
    return std::nullopt;
}

void CBlockMap::Reserve(std::uint32_t start, std::uint32_t count, const std::string& path) {
    BlockUse use{start, count, BlockUseKind::File, path};
    use.dataStart = start;
    Add(std::move(use));
    Index();
}

std::uint32_t CBlockMap::FirstDataBlock() const {
    std::uint64_t end = 16;
    for (const BlockUse& use : m_uses)
        if (use.kind != BlockUseKind::File && use.kind != BlockUseKind::BootImage &&
            use.kind != BlockUseKind::Partition)
            end = std::max<std::uint64_t>(end, std::uint64_t{use.start} + use.count);
    return static_cast<std::uint32_t>(end);
}

const char* UseKindName(BlockUseKind kind) {
    switch (kind) {
    case BlockUseKind::SystemArea:
        return "system area";
    case BlockUseKind::VolumeDescriptor:
        return "volume descriptor";
    case BlockUseKind::PathTable:
        return "path table";
    case BlockUseKind::Directory:
        return "directory";
    case BlockUseKind::ContinuationArea:
        return "continuation area";
    case BlockUseKind::BootCatalog:
        return "boot catalog";
    case BlockUseKind::BootImage:
        return "boot image";
    case BlockUseKind::Partition:
        return "partition";
    case BlockUseKind::File:
        return "file";
    }
    return "file";
}

std::string DescribeUse(const BlockUse& use) {
    if (use.kind == BlockUseKind::Directory)
        return "directory " + use.what + (use.joliet ? " (Joliet)" : "");
    return use.what;
}
