// libFuzzer harness: the block-level reader of ISO 9660 structures on arbitrary bytes, and the block map and
// replace plan built on what it reads. A read either fails with a reason, or gives records, runs and plans
// that lie inside the image: the editor must never be led to patch or fill bytes it was not meant to.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "disc/block_edit.h"
#include "disc/block_map.h"
#include "disc/image_source.h"
#include "disc/iso9660_volume.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const CMemoryImageSource source(bytes);
    const CResult<IsoVolume> result = ReadIsoVolume(source);
    if (!result) {
        if (result.Error().message.empty())
            std::abort();
        return 0;
    }
    const IsoVolume& volume = *result;
    const std::uint64_t blocks = size / kIsoBlock;
    const IsoRecord* firstFile = nullptr;
    for (const IsoRecord& record : volume.records) {
        if (record.offset + 34 > size || record.path.empty() || record.path.front() != '/')
            std::abort();
        if (!record.directory && record.size > 0) {
            if (std::uint64_t{record.extent} + record.Blocks() > blocks)
                std::abort();
            if (!firstFile)
                firstFile = &record;
        }
    }
    const CBlockMap map(volume);
    for (std::uint64_t block = 0; block < blocks && block < 64; ++block)
        if (block < 16 && map.Holders(static_cast<std::uint32_t>(block)).empty())
            std::abort();
    if (!firstFile)
        return 0;
    // A plan that grows the first file: its new blocks must have been free (or its own), and every patch
    // must fall on a record or a descriptor of the image.
    const CResult<BlockEditPlan> plan =
        PlanReplace(volume, {{firstFile->path, "unused", std::uint64_t{firstFile->size} * 2 + 1}},
                    ReplacePlacement::Auto);
    if (!plan)
        return plan.Error().message.empty() ? (std::abort(), 0) : 0;
    for (const EditPatch& patch : plan->patches)
        if (patch.offset + patch.bytes.size() > size)
            std::abort();
    for (const EditData& write : plan->data) {
        const auto start = static_cast<std::uint32_t>(write.offset / kIsoBlock);
        const auto count = static_cast<std::uint32_t>(write.paddedSize / kIsoBlock);
        if (start < 16 ||
            (start != firstFile->extent && start < volume.blockCount && !map.IsFree(start, count) &&
             start + count > firstFile->extent + firstFile->Blocks()))
            std::abort();
    }
    return 0;
}
