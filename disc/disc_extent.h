// One stretch of a file's data on a disc image: where it starts, how many bytes it holds, and the file's
// path in the image.
#pragma once

#include <cstdint>
#include <string>

struct DiscExtent {
    std::uint32_t startLba = 0;
    std::uint32_t size = 0;
    std::string path; // "/FOLDER/NAME", bytes as recorded in the image

    bool operator==(const DiscExtent&) const = default;
};
