#include "listing/atomic_file_writer.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary names of the open writers, kept where a signal handler can read them without taking a
// lock or allocating: a slot is claimed by setting its flag, its name is filled in, then it is published.
constexpr int kSlots = 16;
constexpr std::size_t kSlotBytes = PATH_MAX + 1;
char g_slotNames[kSlots][kSlotBytes];
std::atomic<int> g_slotState[kSlots]; // 0 free, 1 being filled or emptied, 2 holds a name

int RegisterTemporary(const std::string& name) {
    if (name.size() >= kSlotBytes)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = 0;
        if (g_slotState[i].compare_exchange_strong(expected, 1)) {
            std::memcpy(g_slotNames[i], name.c_str(), name.size() + 1);
            g_slotState[i].store(2);
            return i;
        }
    }
    return -1;
}

void ReleaseSlot(int slot) {
    if (slot >= 0)
        g_slotState[slot].store(0);
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

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The path with its symbolic links followed, as far as they lead: the file an open for writing would
// reach, which need not exist yet. Empty, with errno set, for a loop of links.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX) + 1, '\0');
        const ssize_t got = ::readlink(path.c_str(), link.data(), link.size());
        if (got < 0 || static_cast<std::size_t>(got) >= link.size())
            return path; // changed under us; the open reports what is there
        link.resize(static_cast<std::size_t>(got));
        path = link.starts_with('/') ? link : FolderOf(path) + "/" + link;
    }
    errno = ELOOP;
    return {};
}

} // namespace

CAtomicFileWriter::CAtomicFileWriter(std::string path) : m_strPath(std::move(path)) {}

CAtomicFileWriter::~CAtomicFileWriter() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_strTemp.empty())
        ::unlink(m_strTemp.c_str());
    ReleaseSlot(m_nSlot);
}

bool CAtomicFileWriter::Fail(const char* what, int error) {
    m_bFailed = true;
    m_strError = std::string(what) + " " + m_strPath + ": " + std::strerror(error);
    return false;
}

void CAtomicFileWriter::ForgetTemporary() {
    ReleaseSlot(m_nSlot);
    m_nSlot = -1;
    m_strTemp.clear();
}

bool CAtomicFileWriter::Open() {
    m_strTarget = FollowLinks(m_strPath);
    if (m_strTarget.empty())
        return Fail("cannot open", errno);

    struct stat old {};
    const bool exists = ::stat(m_strTarget.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return Fail("cannot open", EISDIR);
    if (exists && !S_ISREG(old.st_mode)) {
        // A device or a FIFO: a new file in its place would break whatever else writes to it.
        m_fd = ::open(m_strTarget.c_str(), O_WRONLY | O_CLOEXEC);
        if (m_fd < 0)
            return Fail("cannot open", errno);
        return true;
    }

    std::string pattern = FolderOf(m_strTarget) + "/." + FileNameOf(m_strTarget) + ".XXXXXX";
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0)
        return Fail("cannot create a file beside", errno);
    m_strTemp = pattern;
    m_nSlot = RegisterTemporary(m_strTemp);
    if (exists) {
        // The replacement is the same file to everyone who had it: same mode, and for root the same owner
        // (others cannot give a file away, and their new file is theirs as the old one may not have been).
        if (::geteuid() == 0 && ::fchown(m_fd, old.st_uid, old.st_gid) != 0)
            return Fail("cannot keep the owner of", errno);
        if (::fchmod(m_fd, old.st_mode & 07777) != 0)
            return Fail("cannot keep the mode of", errno);
    } else if (::fchmod(m_fd, 0666 & ~CurrentUmask()) != 0) {
        return Fail("cannot create", errno);
    }
    return true;
}

bool CAtomicFileWriter::Write(std::string_view bytes) {
    if (m_bFailed)
        return false;
    if (m_fd < 0)
        return Fail("cannot write", EBADF);
    while (!bytes.empty()) {
        const ssize_t put = ::write(m_fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return Fail("cannot write", errno);
        if (put == 0)
            return Fail("cannot write", ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

bool CAtomicFileWriter::Commit() {
    if (m_bFailed)
        return false;
    if (m_fd < 0)
        return Fail("cannot write", EBADF);
    const int fd = std::exchange(m_fd, -1);
    if (m_strTemp.empty()) {
        // A device or FIFO: nothing to flush to a disc, nothing to rename.
        if (::close(fd) != 0)
            return Fail("cannot write", errno);
        return true;
    }
    if (::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        return Fail("cannot write", error);
    }
    if (::close(fd) != 0)
        return Fail("cannot write", errno);
    if (::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0)
        return Fail("cannot replace", errno);
    ForgetTemporary();
    return true;
}

void CAtomicFileWriter::RemoveTemporaryFiles() {
    for (int i = 0; i < kSlots; ++i) {
        if (g_slotState[i].load() == 2)
            ::unlink(g_slotNames[i]);
    }
}
