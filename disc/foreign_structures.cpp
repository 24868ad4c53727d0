#include "disc/foreign_structures.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::size_t kBlock = 2048;
constexpr std::size_t kSector = 512;
// The system area in 512-byte sectors, the unit of MBR and GPT addresses.
constexpr std::uint64_t kSystemAreaSectors = kSystemAreaBytes / kSector;

std::uint64_t Le(std::string_view bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

std::uint64_t Be16(std::string_view bytes, std::size_t at) {
    return std::uint64_t{static_cast<unsigned char>(bytes[at])} << 8 |
           static_cast<unsigned char>(bytes[at + 1]);
}

bool Holds(std::string_view bytes, std::size_t at, std::string_view text) {
    return bytes.size() >= at + text.size() && bytes.substr(at, text.size()) == text;
}

bool HasMbr(std::string_view area) {
    return area.size() >= kSector && static_cast<unsigned char>(area[510]) == 0x55 &&
           static_cast<unsigned char>(area[511]) == 0xAA;
}

bool HasGpt(std::string_view area) {
    return Holds(area, kSector, "EFI PART");
}

bool HasHfsPlus(std::string_view area) {
    return Holds(area, 1024, "H+") || Holds(area, 1024, "HX");
}

// The size of an Apple partition map's blocks (its driver descriptor's block size), or 0 without a map.
std::size_t ApmBlockSize(std::string_view area) {
    if (!Holds(area, 0, "ER") || area.size() < 4)
        return 0;
    const std::size_t size = Be16(area, 2);
    return (size == 512 || size == 2048) && Holds(area, size, "PM") ? size : 0;
}

// The UDF volume recognition sequence: among the descriptors from block 16 on, blocks whose bytes 1-5
// name UDF's own (BEA01 opens the sequence, NSR02 or NSR03 names the UDF version).
void FindUdf(std::string_view head, std::vector<ForeignStructure>& out) {
    std::string first;
    for (std::size_t block = 16; (block + 1) * kBlock <= head.size(); ++block) {
        const std::string_view id = head.substr(block * kBlock + 1, 5);
        const bool udf = id == "BEA01" || id == "NSR02" || id == "NSR03";
        if (!udf && id != "CD001" && id != "TEA01" && id != "BOOT2" && id != "CDW02")
            break;
        if (id.starts_with("NSR")) {
            out.push_back({kDropUdf, "a UDF file system (" + std::string(id) + " at block " +
                                         std::to_string(block) + ")"});
            return;
        }
        if (udf && first.empty())
            first = std::string(id) + " at block " + std::to_string(block);
    }
    if (!first.empty())
        out.push_back({kDropUdf, "UDF volume structures (" + first + ")"});
}

} // namespace

std::vector<ForeignStructure> FindForeignStructures(std::string_view head) {
    std::vector<ForeignStructure> found;
    FindUdf(head, found);
    const std::string_view area = head.substr(0, std::min(head.size(), kSystemAreaBytes));
    if (ApmBlockSize(area) > 0)
        found.push_back({kDropHybrid, "an Apple partition map"});
    if (HasHfsPlus(area))
        found.push_back({kDropHybrid, "an HFS+ volume"});
    if (HasGpt(area))
        found.push_back({kDropHybrid, "a GPT partition table"});
    if (HasMbr(area)) {
        for (int i = 0; i < 4; ++i) {
            const std::size_t entry = 446 + 16 * static_cast<std::size_t>(i);
            const auto type = static_cast<unsigned char>(area[entry + 4]);
            const std::uint64_t start = Le(area, entry + 8, 4), sectors = Le(area, entry + 12, 4);
            // 0xEE is the GPT's protective entry, reported as the GPT. A partition that starts inside the
            // system area (over the whole image, as hybrid boot images have it, or within the area) comes
            // with the copy; one that starts further in points at data the rebuild moves.
            if (type == 0 || type == 0xEE || sectors == 0 || start < kSystemAreaSectors)
                continue;
            found.push_back({kDropHybrid, "an MBR partition table whose partition " + std::to_string(i + 1) +
                                              " starts at sector " + std::to_string(start) +
                                              ", inside the image"});
            break;
        }
    }
    return found;
}

void ClearHybridStructures(std::string& area) {
    const auto zero = [&](std::size_t from, std::size_t to) {
        to = std::min(to, area.size());
        if (from < to)
            std::fill(area.begin() + static_cast<std::ptrdiff_t>(from),
                      area.begin() + static_cast<std::ptrdiff_t>(to), '\0');
    };
    if (const std::size_t block = ApmBlockSize(area)) {
        for (std::size_t at = block; Holds(area, at, "PM"); at += block)
            zero(at, at + block);
        zero(0, 2); // the driver descriptor's signature
    }
    if (HasHfsPlus(area))
        zero(1024, 1024 + kSector);
    if (HasGpt(area)) {
        const std::uint64_t entriesAt = Le(area, kSector + 72, 8);
        const std::uint64_t bytes = Le(area, kSector + 80, 4) * Le(area, kSector + 84, 4);
        if (entriesAt < kSystemAreaSectors)
            zero(static_cast<std::size_t>(entriesAt * kSector),
                 static_cast<std::size_t>(std::min<std::uint64_t>(entriesAt * kSector + bytes, area.size())));
        zero(kSector, 2 * kSector);
    }
    if (HasMbr(area))
        zero(446, 510); // the four entries; the boot code and the signature stay
}
