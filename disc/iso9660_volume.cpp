#include "disc/iso9660_volume.h"

#include <deque>
#include <string_view>
#include <unordered_set>

namespace {

constexpr std::uint32_t kSystemAreaBlocks = 16;
constexpr int kMaxDescriptors = 256;
constexpr int kMaxRecognitionBlocks = 32;
constexpr int kMaxContinuations = 32;
constexpr std::uint32_t kMaxContinuationBytes = 1 << 16;
constexpr std::size_t kMaxRecords = 50'000'000;
constexpr std::uint64_t kMinDirectoryBudget = std::uint64_t{64} << 20;
// Far above any real directory (100,000 records take some 10 MB), and keeps a damaged size from asking for
// gigabytes.
constexpr std::uint32_t kMaxDirectoryBlocks = (256u << 20) / 2048;

std::uint32_t Le16(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(u[0] | u[1] << 8);
}

std::uint32_t Le32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(u[0]) | static_cast<std::uint32_t>(u[1]) << 8 |
           static_cast<std::uint32_t>(u[2]) << 16 | static_cast<std::uint32_t>(u[3]) << 24;
}

std::uint32_t Be32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(u[3]) | static_cast<std::uint32_t>(u[2]) << 8 |
           static_cast<std::uint32_t>(u[1]) << 16 | static_cast<std::uint32_t>(u[0]) << 24;
}

std::uint32_t Be16(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(u[0] << 8 | u[1]);
}

std::uint64_t Le64(const char* p) {
    return Le32(p) | std::uint64_t{Le32(p + 4)} << 32;
}

std::uint32_t BlocksOf(std::uint64_t bytes) {
    return static_cast<std::uint32_t>((bytes + kIsoBlock - 1) / kIsoBlock);
}

// UCS-2 big-endian (with surrogate pairs) to UTF-8.
std::string Utf8FromUcs2(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t c = Be16(bytes.data() + i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = Be16(bytes.data() + i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// An ISO 9660 or Joliet identifier without its ";1" version and, for ISO 9660, the dot of an empty
// extension.
std::string PlainName(std::string name, bool iso) {
    const std::size_t semicolon = name.rfind(';');
    if (semicolon != std::string::npos)
        name.resize(semicolon);
    if (iso && name.size() > 1 && name.back() == '.')
        name.pop_back();
    return name;
}

struct Pending {
    std::uint32_t extent;
    std::uint32_t size;
    std::string path;
};

class CVolumeReader {
public:
    CVolumeReader(const CImageSource& source, IsoVolume& volume, IsoTrees trees)
        : m_source(source), m_volume(volume), m_nBlocks(source.Size() / kIsoBlock), m_trees(trees) {
        m_nDirectoryBudget = std::max(kMinDirectoryBudget, source.Size() * 4);
    }

    bool Read() {
        m_volume.imageBytes = m_source.Size();
        if (!ReadDescriptors() || !ReadSystemArea())
            return false;
        for (std::size_t i = 0; i < m_roots.size(); ++i) {
            // The primary tree comes first and says whether Rock Ridge names the files; a Joliet tree is
            // then only needed when it names them.
            if (m_trees == IsoTrees::Naming && m_roots[i].joliet && !m_volume.NamesFromJoliet())
                continue;
            if (!ReadTree(m_roots[i].block, m_roots[i].joliet))
                return false;
        }
        return ReadBootCatalog();
    }

    const std::string& Error() const { return m_error; }

private:
    struct Root {
        std::uint32_t block;
        bool joliet;
    };

    bool Fail(std::string error) {
        m_error = std::move(error);
        return false;
    }

    bool InImage(std::uint64_t start, std::uint64_t count) const { return start + count <= m_nBlocks; }

    bool ReadBlocks(std::uint32_t start, std::uint32_t count, std::string& out) {
        if (!InImage(start, count))
            return false;
        out.resize(std::size_t{count} * kIsoBlock);
        return m_source.ReadAt(std::uint64_t{start} * kIsoBlock, out.data(), out.size());
    }

    bool ReadDescriptors() {
        if (m_source.Size() % kIsoBlock != 0 && m_nBlocks <= kSystemAreaBlocks)
            return Fail("too short for an ISO 9660 image");
        std::string block;
        bool primary = false, terminated = false;
        std::uint32_t at = kSystemAreaBlocks;
        for (int i = 0; i < kMaxDescriptors && !terminated; ++i, ++at) {
            if (!ReadBlocks(at, 1, block))
                return Fail(primary ? "the volume descriptors have no terminator"
                                    : "too short for an ISO 9660 image");
            if (block.compare(1, 5, "CD001") != 0)
                return Fail("no ISO 9660 volume descriptor at block " + std::to_string(at));
            IsoDescriptor descriptor;
            descriptor.block = at;
            descriptor.type = static_cast<std::uint8_t>(block[0]);
            if (descriptor.type == 1 || descriptor.type == 2) {
                if (Le16(block.data() + 128) != kIsoBlock)
                    return Fail("the logical block size is not 2048 bytes");
                descriptor.volumeBlocks = Le32(block.data() + 80);
                if (descriptor.type == 2) {
                    const std::string_view escape(block.data() + 88, 3);
                    descriptor.joliet = escape == "%/@" || escape == "%/C" || escape == "%/E";
                }
                if (descriptor.type == 1 && !primary) {
                    primary = true;
                    m_volume.blockCount = Le32(block.data() + 80);
                }
                // Only the primary tree and Joliet trees are read; another supplementary tree (ISO 9660:1999)
                // would keep old extents after an edit, so an edit refuses such an image.
                if (descriptor.type == 1 || descriptor.joliet) {
                    m_roots.push_back({at, descriptor.joliet});
                    m_volume.hasJoliet |= descriptor.joliet;
                    if (!AddPathTables(block))
                        return false;
                } else {
                    m_volume.otherTree = true;
                }
            } else if (descriptor.type == 0 && block.compare(7, 9, "EL TORITO") == 0) {
                // A boot record whose boot system identifier names El Torito points at the boot catalog.
                m_nCatalog = Le32(block.data() + 71);
                m_bCatalog = true;
            } else if (descriptor.type == 255) {
                terminated = true;
            }
            m_volume.descriptors.push_back(descriptor);
        }
        if (!terminated)
            return Fail("the volume descriptors have no terminator");
        if (!primary)
            return Fail("the image has no primary volume descriptor");
        // The volume recognition sequence of a UDF bridge follows the terminator.
        for (int i = 0; i < kMaxRecognitionBlocks && ReadBlocks(at, 1, block); ++i, ++at) {
            const std::string_view id(block.data() + 1, 5);
            if (id != "BEA01" && id != "NSR02" && id != "NSR03" && id != "TEA01" && id != "BOOT2")
                break;
            m_volume.udfBridge |= id == "NSR02" || id == "NSR03";
            m_volume.descriptors.push_back({at, static_cast<std::uint8_t>(block[0]), false, true});
        }
        return ReadSessionCopy(at);
    }

    // An image written for overwritable media holds its session at block 32, with the session's own
    // descriptors at 48, and at 16 a copy that points at the same tree. Both record the volume size; the
    // blocks up to 48 are rewritten when a session is added, so nothing may be put there.
    bool ReadSessionCopy(std::uint32_t end) {
        constexpr std::uint32_t kSession = 32;
        std::string block;
        if (end > kSession + kSystemAreaBlocks || !ReadBlocks(kSession + kSystemAreaBlocks, 1, block) ||
            block.compare(1, 5, "CD001") != 0 || block[0] != 1)
            return true;
        m_volume.reserved.push_back({end, kSession + kSystemAreaBlocks - end});
        std::uint32_t at = kSession + kSystemAreaBlocks;
        for (int i = 0; i < kMaxDescriptors && ReadBlocks(at, 1, block) && block.compare(1, 5, "CD001") == 0;
             ++i, ++at) {
            IsoDescriptor descriptor;
            descriptor.block = at;
            descriptor.type = static_cast<std::uint8_t>(block[0]);
            descriptor.sessionCopy = true;
            if (descriptor.type == 1 || descriptor.type == 2)
                descriptor.volumeBlocks = Le32(block.data() + 80);
            if (descriptor.type == 2) {
                const std::string_view escape(block.data() + 88, 3);
                descriptor.joliet = escape == "%/@" || escape == "%/C" || escape == "%/E";
            }
            m_volume.descriptors.push_back(descriptor);
            if (descriptor.type == 255)
                break;
        }
        return true;
    }

    bool AddPathTables(const std::string& block) {
        const std::uint32_t count = BlocksOf(Le32(block.data() + 132));
        const std::uint32_t tables[] = {Le32(block.data() + 140), Le32(block.data() + 144),
                                        Be32(block.data() + 148), Be32(block.data() + 152)};
        for (const std::uint32_t start : tables) {
            if (start == 0)
                continue;
            if (!InImage(start, count))
                return Fail("a path table lies past the end of the image");
            m_volume.pathTables.push_back({start, count});
        }
        return true;
    }

    // The partitions a hybrid system area declares: those that start past the descriptors point at blocks
    // inside the image (an appended EFI partition, a GPT backup), which are then in use.
    bool ReadSystemArea() {
        std::string area;
        if (!ReadBlocks(0, kSystemAreaBlocks, area))
            return Fail("too short for an ISO 9660 image");
        const std::uint64_t firstData = std::uint64_t{kSystemAreaBlocks + 1} * kIsoBlock;
        auto addBytes = [&](std::uint64_t begin, std::uint64_t end) {
            if (begin < firstData || end <= begin)
                return;
            const std::uint64_t start = begin / kIsoBlock;
            const std::uint64_t stop = std::min<std::uint64_t>(m_nBlocks, (end + kIsoBlock - 1) / kIsoBlock);
            if (start < stop)
                m_volume.partitions.push_back(
                    {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(stop - start)});
        };
        if (static_cast<unsigned char>(area[510]) == 0x55 && static_cast<unsigned char>(area[511]) == 0xAA) {
            for (int i = 0; i < 4; ++i) {
                const char* entry = area.data() + 446 + 16 * i;
                if (entry[4] != 0)
                    addBytes(std::uint64_t{Le32(entry + 8)} * 512,
                             (std::uint64_t{Le32(entry + 8)} + Le32(entry + 12)) * 512);
            }
        }
        if (area.compare(512, 8, "EFI PART") == 0) {
            m_volume.gpt = true;
            const char* header = area.data() + 512;
            const std::uint64_t entries = Le64(header + 72) * 512;
            const std::uint32_t number = std::min<std::uint32_t>(Le32(header + 80), 1024);
            const std::uint32_t entrySize = Le32(header + 84);
            if (entrySize >= 128 && entrySize <= 4096) {
                const std::uint64_t tableBytes = std::uint64_t{number} * entrySize;
                addBytes(entries, entries + tableBytes);
                const std::uint64_t backup = Le64(header + 32);
                if (backup < (std::uint64_t{1} << 40))
                    addBytes(backup * 512 > tableBytes ? backup * 512 - tableBytes : 0, backup * 512 + 512);
                std::string entry(entrySize, '\0');
                for (std::uint32_t i = 0; i < number; ++i) {
                    if (entries > (std::uint64_t{1} << 50) ||
                        !m_source.ReadAt(entries + std::uint64_t{i} * entrySize, entry.data(), entrySize))
                        break;
                    const std::uint64_t first = Le64(entry.data() + 32), last = Le64(entry.data() + 40);
                    if (entry.find_first_not_of('\0', 0) < 16 && last >= first &&
                        last < (std::uint64_t{1} << 50))
                        addBytes(first * 512, (last + 1) * 512);
                }
            }
        }
        // An HFS or HFS+ volume header at byte 1024, or an Apple partition map naming an HFS partition.
        if (area.compare(1024, 2, "BD") == 0 || area.compare(1024, 2, "H+") == 0 ||
            area.compare(1024, 2, "HX") == 0)
            m_volume.hfsBridge = true;
        if (area.compare(0, 2, "ER") == 0) {
            const std::uint32_t blockSize = Be16(area.data() + 2);
            std::uint32_t count = 1;
            std::string entry(512, '\0');
            for (std::uint32_t i = 1; blockSize >= 512 && blockSize <= 4096 && i <= count; ++i) {
                if (!m_source.ReadAt(std::uint64_t{i} * blockSize, entry.data(), entry.size()) ||
                    entry.compare(0, 2, "PM") != 0)
                    break;
                if (i == 1)
                    count = std::min<std::uint32_t>(Be32(entry.data() + 4), 64);
                if (entry.compare(48, 9, "Apple_HFS") == 0)
                    m_volume.hfsBridge = true;
                const std::uint64_t start = std::uint64_t{Be32(entry.data() + 8)} * blockSize;
                addBytes(start, start + std::uint64_t{Be32(entry.data() + 12)} * blockSize);
            }
        }
        return true;
    }

    // Reads the entries of a system use area and of its continuation areas: the Rock Ridge name, the SP of
    // the root's first record, and where continuation areas lie.
    bool ReadSystemUse(std::string_view area, std::string* name, bool rootDot) {
        for (int hops = 0;; ++hops) {
            std::uint32_t ceBlock = 0, ceOffset = 0, ceLength = 0;
            bool continued = false;
            for (std::size_t pos = 0; pos + 4 <= area.size();) {
                const std::string_view signature = area.substr(pos, 2);
                const std::size_t length = static_cast<unsigned char>(area[pos + 2]);
                if (length < 4 || pos + length > area.size())
                    break;
                const char* data = area.data() + pos;
                if (signature == "SP" && rootDot && length >= 7 &&
                    static_cast<unsigned char>(data[4]) == 0xBE &&
                    static_cast<unsigned char>(data[5]) == 0xEF) {
                    m_volume.rockRidge = true;
                    m_nSuspSkip = static_cast<unsigned char>(data[6]);
                } else if (signature == "NM" && name && length >= 5 && (data[4] & 0x06) == 0) {
                    name->append(data + 5, length - 5);
                } else if (signature == "RE") {
                    m_bRelocated = true;
                } else if (signature == "CL" && length >= 12) {
                    m_bChildLink = true;
                    m_nChildLink = Le32(data + 4);
                } else if (signature == "CE" && length >= 28) {
                    ceBlock = Le32(data + 4);
                    ceOffset = Le32(data + 12);
                    ceLength = Le32(data + 20);
                    continued = true;
                } else if (signature == "ST") {
                    break;
                }
                pos += length;
            }
            if (!continued)
                return true;
            if (hops >= kMaxContinuations)
                return Fail("a Rock Ridge continuation chain does not end");
            if (ceLength > kMaxContinuationBytes || ceOffset >= kIsoBlock)
                return Fail("a Rock Ridge continuation area is damaged");
            const std::uint64_t begin = std::uint64_t{ceBlock} * kIsoBlock + ceOffset;
            const std::uint64_t end = begin + ceLength;
            if (end > m_nBlocks * kIsoBlock)
                return Fail("a Rock Ridge continuation area lies past the end of the image");
            if (ceLength == 0)
                return true;
            m_volume.continuationAreas.push_back(
                {ceBlock, static_cast<std::uint32_t>((end + kIsoBlock - 1) / kIsoBlock - ceBlock)});
            m_continuation.resize(ceLength);
            if (!m_source.ReadAt(begin, m_continuation.data(), ceLength))
                return Fail("a Rock Ridge continuation area cannot be read");
            area = m_continuation;
        }
    }

    bool ReadTree(std::uint32_t descriptorBlock, bool joliet) {
        std::string block;
        if (!ReadBlocks(descriptorBlock, 1, block))
            return Fail("a volume descriptor cannot be read");
        const char* rootRecord = block.data() + 156;
        IsoRecord root;
        if (!ParseRecord(rootRecord, 34, std::uint64_t{descriptorBlock} * kIsoBlock + 156, joliet, root))
            return false;
        if (!root.directory)
            return Fail("the root directory record is not a directory");
        root.path = "/";
        std::deque<Pending> queue{{root.extent, root.size, ""}};
        m_volume.records.push_back(std::move(root));
        std::unordered_set<std::uint32_t> visited;
        bool firstDirectory = true;
        std::string directory;
        while (!queue.empty()) {
            const Pending current = std::move(queue.front());
            queue.pop_front();
            if (!visited.insert(current.extent).second)
                return Fail("the directory " + (current.path.empty() ? std::string("/") : current.path) +
                            " is reached twice (a loop in the tree)");
            const std::uint32_t blocks = BlocksOf(current.size);
            if (blocks > kMaxDirectoryBlocks || blocks > m_nDirectoryBudget / kIsoBlock)
                return Fail("the directories are larger than the image allows");
            m_nDirectoryBudget -= std::uint64_t{blocks} * kIsoBlock;
            if (!ReadBlocks(current.extent, blocks, directory))
                return Fail("the directory " + (current.path.empty() ? std::string("/") : current.path) +
                            " lies past the end of the image");
            bool previousContinues = false;
            for (std::size_t pos = 0; pos < directory.size();) {
                const std::size_t length = static_cast<unsigned char>(directory[pos]);
                if (length == 0) {
                    pos = (pos / kIsoBlock + 1) * kIsoBlock;
                    continue;
                }
                const std::uint64_t offset = std::uint64_t{current.extent} * kIsoBlock + pos;
                if (length < 34 || pos % kIsoBlock + length > kIsoBlock)
                    return Fail("damaged directory record at byte " + std::to_string(offset));
                const char* data = directory.data() + pos;
                const std::size_t idLength = static_cast<unsigned char>(data[32]);
                if (33 + idLength > length)
                    return Fail("damaged directory record at byte " + std::to_string(offset));
                std::size_t systemUse = 33 + idLength + (idLength % 2 == 0 ? 1 : 0);
                const bool self = idLength == 1 && (data[33] == 0 || data[33] == 1);
                const bool rootDot = !joliet && firstDirectory && pos == 0;
                if (!rootDot)
                    systemUse += m_nSuspSkip;
                std::string& rrName = m_name;
                rrName.clear();
                m_bRelocated = m_bChildLink = false;
                const bool useSusp = !joliet && (rootDot || m_volume.rockRidge);
                if (useSusp && systemUse < length &&
                    !ReadSystemUse(std::string_view(data + systemUse, length - systemUse),
                                   self ? nullptr : &rrName, rootDot))
                    return false;
                pos += length;
                if (self)
                    continue;
                IsoRecord record;
                if (!ParseRecord(data, length, offset, joliet, record))
                    return false;
                record.multiExtent = (record.flags & 0x80) != 0 || previousContinues;
                previousContinues = (record.flags & 0x80) != 0;
                const std::string_view id(data + 33, idLength);
                if (rrName.empty())
                    rrName = joliet ? PlainName(Utf8FromUcs2(id), false) : PlainName(std::string(id), true);
                record.path.reserve(current.path.size() + 1 + rrName.size());
                record.path.append(current.path).append(1, '/').append(rrName);
                // A folder nested too deep for ISO 9660 lies in a folder of relocated ones (Rock Ridge RE)
                // and is named where it belongs by a child link (CL): its content is read, and named, there.
                if (m_bChildLink && !record.directory) {
                    if (!FollowChildLink(record.path, queue))
                        return false;
                    continue;
                }
                if (record.directory && m_bRelocated) {
                    m_volume.records.push_back(std::move(record));
                    continue;
                }
                if (!record.directory && record.size > 0 && !InImage(record.extent, record.Blocks()))
                    return Fail("the file " + record.path + " lies past the end of the image");
                if (record.directory)
                    queue.push_back({record.extent, record.size, record.path});
                if (m_volume.records.size() >= kMaxRecords)
                    return Fail("the image holds too many directory records");
                m_volume.records.push_back(std::move(record));
            }
            firstDirectory = false;
        }
        return true;
    }

    bool FollowChildLink(const std::string& path, std::deque<Pending>& queue) {
        std::string block;
        if (!ReadBlocks(m_nChildLink, 1, block) || static_cast<unsigned char>(block[0]) < 34)
            return Fail("the relocated folder " + path + " cannot be read");
        queue.push_back({m_nChildLink, Le32(block.data() + 10), path});
        return true;
    }

    bool ParseRecord(const char* data, std::size_t length, std::uint64_t offset, bool joliet,
                     IsoRecord& record) {
        if (length < 34 || static_cast<unsigned char>(data[0]) < 34)
            return Fail("damaged directory record at byte " + std::to_string(offset));
        record.offset = offset;
        record.extent = Le32(data + 2);
        record.size = Le32(data + 10);
        if (record.extent != Be32(data + 6) || record.size != Be32(data + 14))
            return Fail("the two byte orders of the directory record at byte " + std::to_string(offset) +
                        " disagree");
        record.attributeBlocks = static_cast<std::uint8_t>(data[1]);
        record.flags = static_cast<std::uint8_t>(data[25]);
        record.directory = (record.flags & 0x02) != 0;
        record.joliet = joliet;
        return true;
    }

    bool ReadBootCatalog() {
        if (!m_bCatalog)
            return true;
        std::string catalog;
        if (!ReadBlocks(m_nCatalog, 1, catalog))
            return Fail("the El Torito boot catalog lies past the end of the image");
        m_volume.bootCatalog.push_back({m_nCatalog, 1});
        if (catalog[0] != 1 || static_cast<unsigned char>(catalog[30]) != 0x55 ||
            static_cast<unsigned char>(catalog[31]) != 0xAA)
            return true;
        auto addImage = [&](const char* entry) {
            const std::uint32_t load = Le32(entry + 8);
            std::uint32_t blocks = BlocksOf(std::uint64_t{Le16(entry + 6)} * 512);
            switch (entry[1] & 0x0F) {
            case 1:
                blocks = 600;
                break;
            case 2:
                blocks = 720;
                break;
            case 3:
                blocks = 1440;
                break;
            default:
                break;
            }
            blocks = std::max<std::uint32_t>(blocks, 1);
            if (load < m_nBlocks)
                m_volume.bootImages.push_back(
                    {load, static_cast<std::uint32_t>(std::min<std::uint64_t>(blocks, m_nBlocks - load))});
        };
        addImage(catalog.data() + 32);
        for (std::size_t pos = 64; pos + 32 <= catalog.size();) {
            const auto header = static_cast<unsigned char>(catalog[pos]);
            if (header != 0x90 && header != 0x91)
                break;
            const std::uint32_t entries = Le16(catalog.data() + pos + 2);
            pos += 32;
            for (std::uint32_t i = 0; i < entries && pos + 32 <= catalog.size(); ++i) {
                addImage(catalog.data() + pos);
                pos += 32;
                while (pos + 32 <= catalog.size() && static_cast<unsigned char>(catalog[pos]) == 0x44)
                    pos += 32;
            }
            if (header == 0x91)
                break;
        }
        return true;
    }

    const CImageSource& m_source;
    IsoVolume& m_volume;
    std::uint64_t m_nBlocks;
    IsoTrees m_trees;
    std::uint64_t m_nDirectoryBudget = 0;
    std::vector<Root> m_roots;
    std::uint32_t m_nCatalog = 0;
    bool m_bCatalog = false;
    std::size_t m_nSuspSkip = 0;
    bool m_bRelocated = false; // the record just read is a relocated folder (RE)
    bool m_bChildLink = false; // it stands for a relocated folder (CL) at m_nChildLink
    std::uint32_t m_nChildLink = 0;
    std::string m_continuation;
    std::string m_name; // the name of the record being read, its buffer kept from record to record
    std::string m_error;
};

} // namespace

CResult<IsoVolume> ReadIsoVolume(const CImageSource& source, IsoTrees trees) {
    IsoVolume volume;
    CVolumeReader reader(source, volume, trees);
    if (!reader.Read())
        return Failure{reader.Error()};
    return volume;
}
