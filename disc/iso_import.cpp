#include "disc/iso_import.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "disc/isofs.h"

namespace {

constexpr std::uint64_t kBlockSize = 2048;
// The engine reads a sound tree's blocks in passing, coming back to a block read before only now and then.
// A folder that contains itself makes it read the same blocks over and over, going deeper each time.
constexpr std::uint64_t kMaxRereadsInARow = 4096;
// The engine descends into folders by recursion; its own thread gets a stack deep enough for any tree
// the reread limit lets through in practice.
constexpr std::size_t kImportStackBytes = std::size_t{512} << 20;
// Blocks read from the file at once.
constexpr std::uint64_t kReadAheadBlocks = 64;
// How many block reads pass between two questions to keepGoing.
constexpr std::uint64_t kReadsPerCheck = 64;

}  // namespace

void InitIsofs() {
    static std::once_flag once;
    std::call_once(once, [] {
        iso_init();
        char utf8[] = "UTF-8";
        iso_set_local_charset(utf8, 0);
        char queue[] = "SORRY", print[] = "NEVER", id[] = "libisofs";
        iso_set_msgs_severities(queue, print, id);
    });
}

std::string CIsoImport::EngineReason(int code) {
    std::string reason;
    char text[ISO_MSGS_MESSAGE_LEN];
    char severity[80];
    int errorCode = 0, imageId = 0;
    char minimum[] = "SORRY";
    while (iso_obtain_msgs(minimum, &errorCode, &imageId, text, severity) == 1) {
        if (!reason.empty())
            reason += "; ";
        reason += text;
    }
    if (reason.empty())
        reason = iso_error_to_msg(code);
    return reason;
}

struct CIsoImport::Source {
    CIsoImport* owner;
};

CIsoImport::CIsoImport(const std::string& imagePath, DiscKeepGoing keepGoing, Names names)
    : m_strPath(imagePath), m_bFromFile(true), m_names(names), m_keepGoing(std::move(keepGoing)) {}

CIsoImport::CIsoImport(std::string_view imageBytes) : m_bytes(imageBytes), m_nBlocks(imageBytes.size() / kBlockSize) {}

CIsoImport::~CIsoImport() {
    if (m_pFeatures)
        iso_read_image_features_destroy(m_pFeatures);
    if (m_pImage)
        iso_image_unref(m_pImage);
    if (m_pSource)
        iso_data_source_unref(m_pSource);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CIsoImport::Open() {
    if (!m_bFromFile)
        return true;
    // Without waiting: the open of a FIFO would wait for a writer for ever. Only a regular file is read.
    m_fd = ::open(m_strPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) {
        m_strError = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        m_strError = "it is a folder, not an image file";
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        m_strError = "it is not a regular file (a FIFO, socket or device), not an image file";
        return false;
    }
    m_nBlocks = static_cast<std::uint64_t>(st.st_size) / kBlockSize;
    return true;
}

CIsoImport::Source& CIsoImport::SourceOf(iso_data_source* src) { return *static_cast<Source*>(src->data); }

int CIsoImport::ReadBlock(iso_data_source* src, std::uint32_t lba, std::uint8_t* buffer) {
    CIsoImport& self = *SourceOf(src).owner;
    if (!self.m_strError.empty())
        return ISO_DATA_SOURCE_FATAL;
    ++self.m_nReads;
    if (self.m_keepGoing && self.m_nReads % kReadsPerCheck == 0 && !self.m_keepGoing()) {
        self.m_strError = "cancelled";
        return ISO_CANCELED;
    }
    // The loop guard watches the loading of the tree; file data read later for writing may come twice.
    if (!self.m_bTreeLoaded)
        self.m_nRereadsInARow = self.m_seenBlocks.insert(lba).second ? 0 : self.m_nRereadsInARow + 1;
    if (self.m_nRereadsInARow > kMaxRereadsInARow) {
        self.m_strError = "its directory tree leads back into itself (a folder that contains itself)";
        return ISO_DATA_SOURCE_FATAL;
    }
    if (lba >= self.m_nBlocks) {
        self.m_strError = "it is truncated or damaged: block " + std::to_string(lba) +
                          " is needed but the file holds only " + std::to_string(self.m_nBlocks) + " blocks";
        return ISO_DATA_SOURCE_FATAL;
    }
    if (!self.m_bFromFile) {
        std::memcpy(buffer, self.m_bytes.data() + lba * kBlockSize, kBlockSize);
        return 1;
    }
    // File data is read block by block when an image is written: reading ahead in runs saves most calls.
    if (lba < self.m_nCacheFirst || lba >= self.m_nCacheFirst + self.m_nCacheBlocks) {
        const std::uint64_t blocks = std::min<std::uint64_t>(kReadAheadBlocks, self.m_nBlocks - lba);
        self.m_cache.resize(kReadAheadBlocks * kBlockSize);
        self.m_nCacheBlocks = 0;
        std::size_t done = 0;
        const std::size_t want = blocks * kBlockSize;
        while (done < want) {
            const ssize_t got = ::pread(self.m_fd, self.m_cache.data() + done, want - done,
                                        static_cast<off_t>(lba * kBlockSize + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                self.m_strError = got < 0 ? std::string(std::strerror(errno)) : std::string("unexpected end of file");
                return ISO_DATA_SOURCE_FATAL;
            }
            done += static_cast<std::size_t>(got);
        }
        self.m_nCacheFirst = lba;
        self.m_nCacheBlocks = blocks;
    }
    std::memcpy(buffer, self.m_cache.data() + (lba - self.m_nCacheFirst) * kBlockSize, kBlockSize);
    return 1;
}

int CIsoImport::ImportOnDeepStack(IsoReadOpts* opts) {
    struct Job {
        CIsoImport* self;
        IsoReadOpts* opts;
        int ret;
    } job{this, opts, 0};
    auto run = [](void* arg) -> void* {
        auto* j = static_cast<Job*>(arg);
        j->ret = iso_image_import(j->self->m_pImage, j->self->m_pSource, j->opts, &j->self->m_pFeatures);
        return nullptr;
    };
    pthread_attr_t attr;
    pthread_t thread;
    const bool deep = pthread_attr_init(&attr) == 0 && pthread_attr_setstacksize(&attr, kImportStackBytes) == 0 &&
                      pthread_create(&thread, &attr, run, &job) == 0;
    pthread_attr_destroy(&attr);
    // Without the room for a deep stack the import runs here, with the caller's stack.
    if (deep)
        pthread_join(thread, nullptr);
    else
        run(&job);
    return job.ret;
}

bool CIsoImport::Load() {
    InitIsofs();
    if (!Open())
        return false;
    if (m_nBlocks < 17) {
        m_strError = "it is not an ISO 9660 image (too short to hold a volume descriptor)";
        return false;
    }

    m_pSource = static_cast<iso_data_source*>(std::calloc(1, sizeof(iso_data_source)));
    m_pSource->version = 0;
    m_pSource->refcount = 1;
    m_pSource->open = [](iso_data_source*) { return 1; };
    m_pSource->close = [](iso_data_source*) { return 1; };
    m_pSource->read_block = &CIsoImport::ReadBlock;
    m_pSource->free_data = [](iso_data_source* src) {
        delete static_cast<Source*>(src->data);
        src->data = nullptr;
    };
    m_pSource->data = new Source{this};

    int ret = iso_image_new("quarrow", &m_pImage);
    if (ret < 0) {
        m_strError = EngineReason(ret);
        return false;
    }
    IsoReadOpts* opts = nullptr;
    ret = iso_read_opts_new(&opts, 0);
    if (ret < 0) {
        m_strError = EngineReason(ret);
        return false;
    }
    iso_read_opts_set_no_md5(opts, 1);
    iso_read_opts_set_no_aaip(opts, 1);
    char utf8[] = "UTF-8";
    iso_read_opts_set_input_charset(opts, utf8);
    iso_read_opts_set_ecma119_map(opts, m_names == Names::Iso9660Raw ? 0 : 1);
    iso_read_opts_set_joliet_map(opts, m_names == Names::JolietRaw ? 0 : 1);
    if (m_names != Names::Preferred) {
        iso_read_opts_set_no_rockridge(opts, 1);
        iso_read_opts_set_no_joliet(opts, m_names == Names::Iso9660Raw ? 1 : 0);
        iso_read_opts_set_no_iso1999(opts, 1);
    }
    ret = ImportOnDeepStack(opts);
    iso_read_opts_free(opts);
    if (ret < 0) {
        const std::string engine = EngineReason(ret);
        if (m_strError.empty())
            m_strError = ret == static_cast<int>(ISO_WRONG_ECMA119) ||
                                 engine.find("volume descriptor") != std::string::npos
                             ? "it is not an ISO 9660 image (" + engine + ")"
                             : engine;
        return false;
    }
    // Messages of a successful load (warnings about odd names, say) are not this load's failure.
    EngineReason(0);
    m_bTreeLoaded = true;
    m_seenBlocks = {};
    // A block the engine could not have and chose to do without still means a damaged image.
    return m_strError.empty();
}

bool CIsoImport::ForEachFile(const std::function<bool(IsoFile*, const std::string&)>& visit) const {
    // Depth first without recursion: a folder's subfolders are pushed in reverse so they come off in order.
    std::vector<std::pair<IsoDir*, std::string>> pending{{iso_image_get_root(m_pImage), std::string()}};
    std::vector<std::pair<IsoDir*, std::string>> subfolders;
    while (!pending.empty()) {
        auto [dir, dirPath] = std::move(pending.back());
        pending.pop_back();
        IsoDirIter* iter = nullptr;
        if (iso_dir_get_children(dir, &iter) < 0)
            return false;
        IsoNode* node = nullptr;
        bool going = true;
        subfolders.clear();
        while (going && iso_dir_iter_next(iter, &node) == 1) {
            std::string path = dirPath + '/' + iso_node_get_name(node);
            if (ISO_NODE_IS_DIR(node))
                subfolders.emplace_back(reinterpret_cast<IsoDir*>(node), std::move(path));
            else if (ISO_NODE_IS_FILE(node))
                going = visit(reinterpret_cast<IsoFile*>(node), path);
        }
        iso_dir_iter_free(iter);
        if (!going)
            return false;
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
            pending.push_back(std::move(*it));
    }
    return true;
}

bool CIsoImport::AddFileExtents(Iso_File* file, const std::string& path, std::vector<DiscExtent>& out,
                                std::string& error) const {
    const std::uint64_t imageBlocks = m_nBlocks;
    int count = 0;
    iso_file_section* sections = nullptr;
    const int ret = iso_file_get_old_image_sections(file, &count, &sections, 0);
    if (ret < 0) {
        error = "cannot read the extents of " + path + ": " + EngineReason(ret);
        return false;
    }
    bool fits = true;
    for (int i = 0; i < count && fits; ++i) {
        const iso_file_section& s = sections[i];
        const std::uint64_t blocks = (std::uint64_t{s.size} + kBlockSize - 1) / kBlockSize;
        // An empty file may name the block just past the end of the image; it reads nothing there.
        if (std::uint64_t{s.block} + blocks > imageBlocks && (s.size > 0 || s.block > imageBlocks)) {
            error = "the extent of " + path + " at block " + std::to_string(s.block) + " (" +
                    std::to_string(s.size) + " bytes) lies past the end of the image (" +
                    std::to_string(imageBlocks) + " blocks): the image is truncated or damaged";
            fits = false;
        } else {
            out.push_back({s.block, s.size, path});
        }
    }
    std::free(sections);
    return fits;
}
