// Rebuilding an image in a chosen file order: the source tree is loaded by libisofs, every file gets a sort
// weight that places it, and libisofs writes the new image, which we copy into a temporary file beside the
// output and rename at the end.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "disc/disc_image.h"
#include "disc/iso_import.h"
#include "disc/isofs.h"
#include "disc/name_style.h"
#include "listing/atomic_file_writer.h"

namespace {

constexpr int kChunk = 64 * 2048;

struct SourceFile {
    IsoFile* file;
    std::uint32_t firstBlock;
};

std::string_view WithoutLeadingSlash(std::string_view path) {
    return path.starts_with('/') ? path.substr(1) : path;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// Frees the engine's output stream, cancelling its writer thread first when it has not finished.
struct BurnSourceCloser {
    burn_source* src;
    bool finished = false;
    ~BurnSourceCloser() {
        if (!finished)
            src->cancel(src);
        src->free_data(src);
        std::free(src);
    }
};

// Waits, in short sleeps, until the engine's buffer holds `want` bytes or its writer has stopped. Reading
// sooner would wake this thread for every block the writer puts in.
void WaitForData(burn_source* burn, std::size_t want) {
    for (;;) {
        std::size_t size = 0, free = 0;
        if (iso_ring_buffer_get_status(burn, &size, &free) != 1 || size - free >= want)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// The first bytes of the file (up to `size`).
CResult<std::string> ReadHead(const std::string& path, std::size_t size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Failure{std::strerror(errno)};
    std::string head(size, '\0');
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, head.data() + done, size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            Failure failure{std::strerror(errno)};
            ::close(fd);
            return failure;
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    head.resize(done);
    return head;
}

bool SetWriteOptions(IsoWriteOpts* opts, const CIsoImport& import, const NameStyle& style,
                     std::string& systemArea) {
    iso_read_image_features* features = import.Features();
    const int omitVersions = (style.iso.versions ? 0 : 1) | (style.joliet.versions ? 0 : 2);
    const int noForcedDots = (style.iso.noForcedDots ? 1 : 0) | (style.joliet.noForcedDots ? 2 : 0);
    return iso_write_opts_set_iso_level(opts, style.isoLevel) >= 0 &&
           iso_write_opts_set_omit_version_numbers(opts, omitVersions) >= 0 &&
           iso_write_opts_set_no_force_dots(opts, noForcedDots) >= 0 &&
           iso_write_opts_set_rockridge(opts, iso_read_image_features_has_rockridge(features)) >= 0 &&
           iso_write_opts_set_joliet(opts, iso_read_image_features_has_joliet(features)) >= 0 &&
           iso_write_opts_set_iso1999(opts, iso_read_image_features_has_iso1999(features)) >= 0 &&
           iso_write_opts_set_sort_files(opts, 1) >= 0 && iso_write_opts_set_appendable(opts, 0) >= 0 &&
           iso_write_opts_set_ms_block(opts, 0) >= 0 &&
           // Taken as it is (MBR type without patching), the image not padded to a cylinder.
           iso_write_opts_set_system_area(opts, systemArea.data(), 2 << 8, 0) >= 0;
}

} // namespace

CResult<DiscRebuild> RebuildDiscImage(const std::string& sourcePath, const std::vector<std::string>& order,
                                      bool ignoreMissing, const std::string& outputPath,
                                      const DiscProgress& progress, unsigned drops) {
    DiscRebuild result;
    if (SameFile(sourcePath, outputPath))
        return Failure{"the new image would replace the source image " + sourcePath};
    CIsoImport import(sourcePath, {});
    if (!import.Load())
        return Failure{import.Error()};
    const CResult<std::string> head = ReadHead(sourcePath, kStructureHeadBytes);
    if (!head)
        return head.Error();
    std::string systemArea = head->substr(0, kSystemAreaBytes);
    systemArea.resize(kSystemAreaBytes, '\0');
    std::string refused;
    unsigned refusedFamilies = kDropNone;
    for (const ForeignStructure& found : FindForeignStructures(*head)) {
        if ((drops & found.family) != 0) {
            result.dropped.push_back(found.what);
            continue;
        }
        refusedFamilies |= found.family;
        refused += (refused.empty() ? "" : ", ") + found.what;
    }
    if (!refused.empty())
        return Failure{
            "the new image would lose " + refused + ": the engine cannot carry it", {}, 0, refusedFamilies};
    if ((drops & kDropHybrid) != 0)
        ClearHybridStructures(systemArea);

    // Every file with its path and the block its data starts at in the source.
    std::vector<SourceFile> files;
    std::unordered_map<std::string, std::size_t> byPath;
    bool needsLevel3 = false;
    const CResult<void> walked = import.ForEachFile([&](IsoFile* file, const std::string& path) {
        // Data that is not in the image would be written as zeros: such an image is refused.
        std::vector<DiscExtent> extents;
        if (CResult<void> added = import.AddFileExtents(file, path, extents); !added)
            return added;
        const std::uint32_t firstBlock = extents.empty() ? 0 : extents.front().startLba;
        needsLevel3 = needsLevel3 || extents.size() > 1 || iso_file_get_size(file) > 0xFFFFFFFFLL;
        byPath.emplace(std::string(WithoutLeadingSlash(path)), files.size());
        files.push_back({file, firstBlock});
        return CResult<void>();
    });
    if (!walked)
        return walked.Error();

    // Weights fall from files.size() down to 1: the listing's files first, then the rest by source block.
    if (files.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return Failure{"the image holds too many files"};
    std::vector<bool> placed(files.size(), false);
    int weight = static_cast<int>(files.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto found = byPath.find(std::string(WithoutLeadingSlash(order[i])));
        if (found == byPath.end()) {
            if (ignoreMissing)
                continue;
            return Failure{"the image holds no file " + order[i], {}, static_cast<long long>(i) + 1};
        }
        if (placed[found->second])
            continue;
        placed[found->second] = true;
        iso_node_set_sort_weight(reinterpret_cast<IsoNode*>(files[found->second].file), weight--);
    }
    std::vector<std::size_t> rest;
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!placed[i])
            rest.push_back(i);
    std::stable_sort(rest.begin(), rest.end(),
                     [&](std::size_t a, std::size_t b) { return files[a].firstBlock < files[b].firstBlock; });
    for (const std::size_t i : rest)
        iso_node_set_sort_weight(reinterpret_cast<IsoNode*>(files[i].file), weight--);

    const CResult<NameStyle> style = SourceNameStyle(sourcePath, needsLevel3);
    if (!style)
        return style.Error();
    IsoWriteOpts* opts = nullptr;
    if (iso_write_opts_new(&opts, 0) < 0 || !SetWriteOptions(opts, import, *style, systemArea)) {
        if (opts)
            iso_write_opts_free(opts);
        return Failure{"cannot set up the writing of the new image"};
    }
    burn_source* burn = nullptr;
    const int created = iso_image_create_burn_source(import.Image(), opts, &burn);
    iso_write_opts_free(opts);
    if (created < 0)
        return Failure{"cannot start writing the new image: " + CIsoImport::EngineReason(created)};
    BurnSourceCloser closer{burn};

    CAtomicFileWriter output(outputPath);
    if (!output.Open())
        return Failure{output.Error()};
    const std::uint64_t total = static_cast<std::uint64_t>(burn->get_size(burn));
    std::uint64_t done = 0;
    std::vector<unsigned char> buffer(kChunk);
    while (done < total) {
        // The engine hands out only whole requests, so the last one asks for exactly what is left.
        const int want = static_cast<int>(std::min<std::uint64_t>(kChunk, total - done));
        WaitForData(burn, static_cast<std::size_t>(want));
        const int got = burn->read_xt(burn, buffer.data(), want);
        if (got <= 0)
            return Failure{"the engine failed while writing the new image: " +
                           (import.Error().empty() ? CIsoImport::EngineReason(got) : import.Error())};
        if (!output.Write(std::string_view(reinterpret_cast<const char*>(buffer.data()),
                                           static_cast<std::size_t>(got))))
            return Failure{output.Error()};
        done += static_cast<std::uint64_t>(got);
        if (progress && !progress(done, total))
            return Failure{"cancelled"};
    }
    closer.finished = true;
    // A block of file data the engine could not read is a failure, whatever the engine made of it.
    if (!import.Error().empty())
        return Failure{import.Error()};
    if (!output.Commit())
        return Failure{output.Error()};
    return result;
}
