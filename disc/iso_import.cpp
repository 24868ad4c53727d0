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
// A path longer than a file system takes (PATH_MAX less its zero) cannot be extracted or named in a listing.
constexpr std::size_t kMaxPathBytes = 4095;
// The engine's cost per folder grows with the folder's depth, faster than linearly (2,000 levels take
// 0.4 s, 10,000 take 14 s), and a folder loop looks like an endless chain. Trees deeper than any disc
// holds are refused while the engine loads them, before that cost mounts.
constexpr std::size_t kMaxDepth = 512;
// The engine's stack use per folder level (336 bytes measured), with room; the depth guard counts in it.
constexpr std::size_t kStackBytesPerLevel = 400;

} // namespace

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

std::string CIsoImport::QueuedMessages() {
    std::string messages;
    char text[ISO_MSGS_MESSAGE_LEN];
    char severity[80];
    int errorCode = 0, imageId = 0;
    char minimum[] = "SORRY";
    for (;;) {
        // The engine copies at most ISO_MSGS_MESSAGE_LEN - 1 bytes and ends a longer text with a zero, but a
        // text of exactly that length comes back without one: the last byte is set here, and stays.
        text[sizeof text - 1] = '\0';
        if (iso_obtain_msgs(minimum, &errorCode, &imageId, text, severity) != 1)
            break;
        if (!messages.empty())
            messages += "; ";
        messages += text;
    }
    return messages;
}

std::string CIsoImport::EngineReason(int code) {
    std::string reason = QueuedMessages();
    if (reason.empty())
        reason = iso_error_to_msg(code);
    return reason;
}

struct CIsoImport::Source {
    CIsoImport* owner;
};

CIsoImport::CIsoImport(const std::string& imagePath, DiscKeepGoing keepGoing, Names names)
    : m_strPath(imagePath), m_bFromFile(true), m_names(names), m_keepGoing(std::move(keepGoing)) {}

CIsoImport::CIsoImport(std::string_view imageBytes)
    : m_bytes(imageBytes), m_nBlocks(imageBytes.size() / kBlockSize) {}

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

CIsoImport::Source& CIsoImport::SourceOf(iso_data_source* src) {
    return *static_cast<Source*>(src->data);
}

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
    // The engine descends by recursion: how far its stack has grown tells how deep the folder it reads lies.
    const char here = 0;
    const std::uintptr_t stackUsed = self.m_pStackBase ? reinterpret_cast<std::uintptr_t>(self.m_pStackBase) -
                                                             reinterpret_cast<std::uintptr_t>(&here)
                                                       : 0;
    if (!self.m_bTreeLoaded && stackUsed > kMaxDepth * kStackBytesPerLevel) {
        // A chain of folders that reads only blocks read before is a folder that contains itself.
        self.m_strError = self.m_nRereadsInARow >= kMaxDepth / 2
                              ? "its directory tree leads back into itself (a folder that contains itself)"
                              : "its folders are nested deeper than " + std::to_string(kMaxDepth) + " levels";
        return ISO_DATA_SOURCE_FATAL;
    }
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
                self.m_strError =
                    got < 0 ? std::string(std::strerror(errno)) : std::string("unexpected end of file");
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
        const char base = 0;
        j->self->m_pStackBase = &base;
        j->ret = iso_image_import(j->self->m_pImage, j->self->m_pSource, j->opts, &j->self->m_pFeatures);
        return nullptr;
    };
    pthread_attr_t attr;
    pthread_t thread;
    const bool deep = pthread_attr_init(&attr) == 0 &&
                      pthread_attr_setstacksize(&attr, kImportStackBytes) == 0 &&
                      pthread_create(&thread, &attr, run, &job) == 0;
    pthread_attr_destroy(&attr);
    // Without the room for a deep stack the import runs here, with the caller's stack.
    if (deep)
        pthread_join(thread, nullptr);
    else
        run(&job);
    m_pStackBase = nullptr;
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
    QueuedMessages(); // what earlier work left in the engine's queue is not this load's
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
    // Only warnings and notes go unqueued. A message of a successful load is a folder or file the engine
    // passed over ("Can't open dir ..."): the tree would be shown, and rebuilt, without it.
    const std::string passedOver = QueuedMessages();
    m_bTreeLoaded = true;
    m_seenBlocks = {};
    // A block the engine could not have and chose to do without still means a damaged image.
    if (m_strError.empty() && !passedOver.empty())
        m_strError = "part of the image cannot be read: " + passedOver;
    return m_strError.empty();
}

namespace {

// Why a name of the tree cannot stand in a listing line, or nullptr when it can. A line end inside a name
// would start a line of its own; "." and ".." would name another folder than the one they stand in.
const char* UnlistableName(std::string_view name) {
    if (name.find_first_of(std::string_view("\r\n", 2)) != std::string_view::npos)
        return "its name holds a line break";
    if (name == "." || name == "..")
        return "its name is . or ..";
    return nullptr;
}

} // namespace

CResult<void>
CIsoImport::ForEachFile(const std::function<CResult<void>(IsoFile*, const std::string&)>& visit) const {
    // Depth first without recursion: a folder's subfolders are pushed in reverse so they come off in order.
    std::vector<std::pair<IsoDir*, std::string>> pending{{iso_image_get_root(m_pImage), std::string()}};
    std::vector<std::pair<IsoDir*, std::string>> subfolders;
    while (!pending.empty()) {
        auto [dir, dirPath] = std::move(pending.back());
        pending.pop_back();
        IsoDirIter* iter = nullptr;
        const int opened = iso_dir_get_children(dir, &iter);
        if (opened < 0) {
            return Failure("cannot list the folder " + (dirPath.empty() ? std::string("/") : dirPath) + ": " +
                           EngineReason(opened));
        }
        IsoNode* node = nullptr;
        CResult<void> going;
        subfolders.clear();
        while (going && iso_dir_iter_next(iter, &node) == 1) {
            const std::string_view name = iso_node_get_name(node);
            std::string path = dirPath + '/';
            path += name;
            if (const char* why = UnlistableName(name)) {
                going = Failure("the image holds a name a listing cannot carry: " + path + " (" + why + ")");
            } else if (path.size() > kMaxPathBytes) {
                going = Failure("the image holds a path longer than " + std::to_string(kMaxPathBytes) +
                                " bytes: " + path.substr(0, 200) + "...");
            } else if (ISO_NODE_IS_DIR(node)) {
                subfolders.emplace_back(reinterpret_cast<IsoDir*>(node), std::move(path));
            } else if (ISO_NODE_IS_FILE(node)) {
                going = visit(reinterpret_cast<IsoFile*>(node), path);
            }
        }
        iso_dir_iter_free(iter);
        if (!going)
            return going;
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
            pending.push_back(std::move(*it));
    }
    return {};
}

CResult<void> CIsoImport::AddFileExtents(Iso_File* file, const std::string& path,
                                         std::vector<DiscExtent>& out) const {
    const std::uint64_t imageBlocks = m_nBlocks;
    int count = 0;
    iso_file_section* sections = nullptr;
    const int ret = iso_file_get_old_image_sections(file, &count, &sections, 0);
    if (ret < 0)
        return Failure("cannot read the extents of " + path + ": " + EngineReason(ret));
    CResult<void> fits;
    for (int i = 0; i < count && fits; ++i) {
        const iso_file_section& s = sections[i];
        const std::uint64_t blocks = (std::uint64_t{s.size} + kBlockSize - 1) / kBlockSize;
        // An empty file may name the block just past the end of the image; it reads nothing there.
        if (std::uint64_t{s.block} + blocks > imageBlocks && (s.size > 0 || s.block > imageBlocks)) {
            fits = Failure("the extent of " + path + " at block " + std::to_string(s.block) + " (" +
                           std::to_string(s.size) + " bytes) lies past the end of the image (" +
                           std::to_string(imageBlocks) + " blocks): the image is truncated or damaged");
        } else {
            out.push_back({s.block, s.size, path});
        }
    }
    std::free(sections);
    return fits;
}
