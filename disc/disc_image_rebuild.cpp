// Rebuilding an image in a chosen file order: the source tree is loaded by libisofs, every file gets a sort
// weight that places it, and libisofs writes the new image, which we copy into a temporary file beside the
// output and rename at the end.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "disc/isofs.h"

#include "disc/disc_image.h"
#include "disc/iso_import.h"

namespace {

constexpr int kChunk = 64 * 2048;

struct SourceFile {
    IsoFile* file;
    std::uint32_t firstBlock;
};

std::string_view WithoutLeadingSlash(std::string_view path) {
    return path.starts_with('/') ? path.substr(1) : path;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// The write of the new image into a temporary file beside the output; removed unless committed.
class CTempOutput {
public:
    explicit CTempOutput(const std::string& outputPath) : m_strOutput(outputPath) {}
    ~CTempOutput() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_strTemp.empty())
            ::unlink(m_strTemp.c_str());
    }
    CTempOutput(const CTempOutput&) = delete;
    CTempOutput& operator=(const CTempOutput&) = delete;

    bool Open(std::string& error) {
        std::string pattern = FolderOf(m_strOutput) + "/." + FileNameOf(m_strOutput) + ".XXXXXX";
        m_fd = ::mkstemp(pattern.data());
        if (m_fd < 0) {
            error = "cannot create a file beside " + m_strOutput + ": " + std::strerror(errno);
            return false;
        }
        m_strTemp = pattern;
        return true;
    }
    bool Write(const unsigned char* data, std::size_t size, std::string& error) {
        while (size > 0) {
            const ssize_t put = ::write(m_fd, data, size);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                error = "cannot write " + m_strOutput + ": " + std::strerror(put < 0 ? errno : ENOSPC);
                return false;
            }
            data += put;
            size -= static_cast<std::size_t>(put);
        }
        return true;
    }
    bool Commit(std::string& error) {
        ::fchmod(m_fd, 0644 & ~CurrentUmask());
        if (::fsync(m_fd) != 0 || ::close(m_fd) != 0) {
            m_fd = -1;
            error = "cannot write " + m_strOutput + ": " + std::strerror(errno);
            return false;
        }
        m_fd = -1;
        if (::rename(m_strTemp.c_str(), m_strOutput.c_str()) != 0) {
            error = "cannot write " + m_strOutput + ": " + std::strerror(errno);
            return false;
        }
        m_strTemp.clear();
        return true;
    }

private:
    static mode_t CurrentUmask() {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
    }

    std::string m_strOutput;
    std::string m_strTemp;
    int m_fd = -1;
};

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

// How one tree writes its file names: with a ";1" version or without, and a name without an extension with
// a dot forced on ("NAME.") or not. Unseen is left false.
struct TreeStyle {
    bool versions = false;
    bool noForcedDots = false;
};

// The name without a ";N" version and a forced dot, noting in `style` how it was written.
std::string_view PlainName(std::string_view name, TreeStyle& style) {
    const std::size_t semicolon = name.rfind(';');
    if (semicolon != std::string_view::npos && semicolon + 1 < name.size() &&
        name.find_first_not_of("0123456789", semicolon + 1) == std::string_view::npos) {
        style.versions = true;
        name = name.substr(0, semicolon);
    }
    if (name.size() > 1 && name.back() == '.')
        return name.substr(0, name.size() - 1);
    if (name.find('.') == std::string_view::npos)
        style.noForcedDots = true;
    return name;
}

// Notes the style of the last name of each path.
void NoteStyle(std::string_view path, TreeStyle& style) {
    PlainName(path.substr(path.rfind('/') + 1), style);
}

// Whether a name of the ISO 9660 tree, without its version, keeps to the 8.3 names of level 1.
bool IsLevel1Name(std::string_view name, bool folder) {
    const std::size_t dot = name.find('.');
    if (folder || dot == std::string_view::npos)
        return dot == std::string_view::npos && name.size() <= 8;
    return name.rfind('.') == dot && dot <= 8 && name.size() - dot - 1 <= 3;
}

// How the source records its names, so the engine writes them the same way.
struct NameStyle {
    int isoLevel = 1;          // 1 when every ISO 9660 name is an 8.3 name, else 2; 3 for files of several extents
    TreeStyle iso;
    TreeStyle joliet;
};

std::optional<NameStyle> SourceNameStyle(const std::string& sourcePath, bool needsLevel3, std::string& error) {
    NameStyle style;
    bool level1 = true;
    CIsoImport isoNames(sourcePath, {}, CIsoImport::Names::Iso9660Raw);
    if (!isoNames.Load()) {
        error = isoNames.Error();
        return std::nullopt;
    }
    isoNames.ForEachFile([&](IsoFile*, const std::string& path) {
        std::string_view rest = path;
        while (!rest.empty()) {
            rest.remove_prefix(1);
            const std::size_t slash = rest.find('/');
            const bool folder = slash != std::string_view::npos;
            const std::string_view name = folder ? rest.substr(0, slash) : PlainName(rest, style.iso);
            level1 = level1 && IsLevel1Name(name, folder);
            rest.remove_prefix(folder ? slash : rest.size());
        }
        return true;
    });
    style.isoLevel = needsLevel3 ? 3 : level1 ? 1 : 2;

    CIsoImport jolietNames(sourcePath, {}, CIsoImport::Names::JolietRaw);
    if (iso_read_image_features_has_joliet(isoNames.Features()) && jolietNames.Load()) {
        jolietNames.ForEachFile([&](IsoFile*, const std::string& path) {
            NoteStyle(path, style.joliet);
            return true;
        });
    }
    return style;
}

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

bool SetWriteOptions(IsoWriteOpts* opts, const CIsoImport& import, const NameStyle& style) {
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
           iso_write_opts_set_ms_block(opts, 0) >= 0;
}

}  // namespace

DiscRebuildResult RebuildDiscImage(const std::string& sourcePath, const std::vector<std::string>& order,
                                   bool ignoreMissing, const std::string& outputPath,
                                   const DiscProgress& progress) {
    DiscRebuildResult result;
    if (SameFile(sourcePath, outputPath)) {
        result.error = "the new image would replace the source image " + sourcePath;
        return result;
    }
    CIsoImport import(sourcePath, {});
    if (!import.Load()) {
        result.error = import.Error();
        return result;
    }

    // Every file with its path and the block its data starts at in the source.
    std::vector<SourceFile> files;
    std::unordered_map<std::string, std::size_t> byPath;
    bool needsLevel3 = false;
    std::string walkError;
    const bool walked = import.ForEachFile([&](IsoFile* file, const std::string& path) {
        int count = 0;
        iso_file_section* sections = nullptr;
        const int ret = iso_file_get_old_image_sections(file, &count, &sections, 0);
        if (ret < 0) {
            walkError = "cannot read the extents of " + path + ": " + CIsoImport::EngineReason(ret);
            return false;
        }
        const std::uint32_t firstBlock = count > 0 ? sections[0].block : 0;
        // Data that is not in the image would be written as zeros: such an image is refused.
        for (int i = 0; i < count && walkError.empty(); ++i) {
            const std::uint64_t blocks = (std::uint64_t{sections[i].size} + 2047) / 2048;
            if (sections[i].size > 0 && std::uint64_t{sections[i].block} + blocks > import.BlockCount())
                walkError = "the data of " + path + " lies past the end of the image: it is truncated or damaged";
        }
        std::free(sections);
        if (!walkError.empty())
            return false;
        needsLevel3 = needsLevel3 || count > 1 || iso_file_get_size(file) > 0xFFFFFFFFLL;
        byPath.emplace(std::string(WithoutLeadingSlash(path)), files.size());
        files.push_back({file, firstBlock});
        return true;
    });
    if (!walked) {
        result.error = walkError.empty() ? "cannot list a folder of " + sourcePath : walkError;
        return result;
    }

    // Weights fall from files.size() down to 1: the listing's files first, then the rest by source block.
    if (files.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        result.error = "the image holds too many files";
        return result;
    }
    std::vector<bool> placed(files.size(), false);
    int weight = static_cast<int>(files.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto found = byPath.find(std::string(WithoutLeadingSlash(order[i])));
        if (found == byPath.end()) {
            if (ignoreMissing)
                continue;
            result.missingIndex = i;
            result.error = "the image holds no file " + order[i];
            return result;
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

    const std::optional<NameStyle> style = SourceNameStyle(sourcePath, needsLevel3, result.error);
    if (!style)
        return result;
    IsoWriteOpts* opts = nullptr;
    if (iso_write_opts_new(&opts, 0) < 0 || !SetWriteOptions(opts, import, *style)) {
        if (opts)
            iso_write_opts_free(opts);
        result.error = "cannot set up the writing of the new image";
        return result;
    }
    burn_source* burn = nullptr;
    const int created = iso_image_create_burn_source(import.Image(), opts, &burn);
    iso_write_opts_free(opts);
    if (created < 0) {
        result.error = "cannot start writing the new image: " + CIsoImport::EngineReason(created);
        return result;
    }
    BurnSourceCloser closer{burn};

    CTempOutput output(outputPath);
    if (!output.Open(result.error))
        return result;
    const std::uint64_t total = static_cast<std::uint64_t>(burn->get_size(burn));
    std::uint64_t done = 0;
    std::vector<unsigned char> buffer(kChunk);
    while (done < total) {
        // The engine hands out only whole requests, so the last one asks for exactly what is left.
        const int want = static_cast<int>(std::min<std::uint64_t>(kChunk, total - done));
        WaitForData(burn, static_cast<std::size_t>(want));
        const int got = burn->read_xt(burn, buffer.data(), want);
        if (got <= 0) {
            result.error = "the engine failed while writing the new image: " +
                           (import.Error().empty() ? CIsoImport::EngineReason(got) : import.Error());
            return result;
        }
        if (!output.Write(buffer.data(), static_cast<std::size_t>(got), result.error))
            return result;
        done += static_cast<std::uint64_t>(got);
        if (progress && !progress(done, total)) {
            result.error = "cancelled";
            return result;
        }
    }
    closer.finished = true;
    // A block of file data the engine could not read is a failure, whatever the engine made of it.
    if (!import.Error().empty()) {
        result.error = import.Error();
        return result;
    }
    if (!output.Commit(result.error))
        return result;
    result.ok = true;
    return result;
}
