// libFuzzer harness: reading the file extents of an image from arbitrary bytes. The bytes go through our
// block source, loop guard and extent checks into libisofs; a read either fails with a reason or gives
// extents in block order that lie inside the image, with absolute paths.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "disc/disc_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const CResult<std::vector<DiscExtent>> result = ReadDiscImageBytes(bytes);
    if (!result) {
        if (result.Error().message.empty())
            std::abort();
        return 0;
    }
    const std::uint64_t blocks = size / 2048;
    std::uint32_t previous = 0;
    for (const DiscExtent& extent : *result) {
        const std::uint64_t end = std::uint64_t{extent.startLba} + (std::uint64_t{extent.size} + 2047) / 2048;
        if (extent.startLba < previous || extent.path.empty() || extent.path.front() != '/' ||
            (extent.size > 0 && end > blocks))
            std::abort();
        previous = extent.startLba;
    }
    return 0;
}
