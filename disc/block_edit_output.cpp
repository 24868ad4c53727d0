#include "disc/block_edit_output.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "listing/atomic_file_writer.h"

namespace {

constexpr std::size_t kChunk = 1 << 20;
// What the whole-image copy copies at a time before it starts that piece's write-back.
constexpr std::uint64_t kCopyPiece = std::uint64_t{16} << 20;

class CFd {
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int Get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// The failure of a system call, with its reason.
Failure Fail(const std::string& what) {
    return Failure(what + ": " + std::strerror(errno));
}

bool WriteAt(int fd, const char* data, std::size_t size, std::uint64_t offset) {
    while (size > 0) {
        const ssize_t put = ::pwrite(fd, data, size, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = ENOSPC;
            return false;
        }
        data += put;
        size -= static_cast<std::size_t>(put);
        offset += static_cast<std::uint64_t>(put);
    }
    return true;
}

// Writes the data, read from its file or (no file) from `image`, the unedited image.
CResult<void> WriteData(int fd, const EditData& data, int image) {
    CFd file(data.sourcePath.empty() ? -1 : ::open(data.sourcePath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!data.sourcePath.empty() && file.Get() < 0)
        return Fail("cannot read " + data.sourcePath);
    const int source = data.sourcePath.empty() ? image : file.Get();
    const std::uint64_t base = data.sourcePath.empty() ? data.imageOffset : 0;
    std::vector<char> buffer(kChunk);
    std::uint64_t done = 0;
    while (done < data.size) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, data.size - done));
        const ssize_t got = ::pread(source, buffer.data(), want, static_cast<off_t>(base + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Fail("cannot read " + data.sourcePath);
        if (got == 0)
            return Failure(data.sourcePath + " became shorter while it was copied");
        if (!WriteAt(fd, buffer.data(), static_cast<std::size_t>(got), data.offset + done))
            return Fail("cannot write the image");
        done += static_cast<std::uint64_t>(got);
    }
    std::fill(buffer.begin(), buffer.end(), '\0');
    for (std::uint64_t at = data.size; at < data.paddedSize;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, data.paddedSize - at));
        if (!WriteAt(fd, buffer.data(), n, data.offset + at))
            return Fail("cannot write the image");
        at += n;
    }
    return {};
}

CResult<void> WriteZeros(int fd, const EditZeros& zeros) {
    const std::vector<char> buffer(std::min<std::uint64_t>(kChunk, zeros.size), '\0');
    for (std::uint64_t at = 0; at < zeros.size;) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), zeros.size - at));
        if (!WriteAt(fd, buffer.data(), n, zeros.offset + at))
            return Fail("cannot write the image");
        at += n;
    }
    return {};
}

CResult<void> WritePatches(int fd, const BlockEditPlan& plan) {
    for (const EditPatch& patch : plan.patches)
        if (!WriteAt(fd, patch.bytes.data(), patch.bytes.size(), patch.offset))
            return Fail("cannot write the image");
    return {};
}

CResult<void> Sync(int fd) {
    if (::fsync(fd) != 0)
        return Fail("cannot write the image");
    return {};
}

CResult<void> Grow(int fd, const BlockEditPlan& plan) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return Fail("cannot write the image");
    if (static_cast<std::uint64_t>(info.st_size) < plan.imageBytes &&
        ::ftruncate(fd, static_cast<off_t>(plan.imageBytes)) != 0)
        return Fail("cannot write the image");
    return {};
}

// Has the system start writing the bytes of [offset, offset + size) to the disc now, while the next ones are
// copied, so that the flush to the disc before the output takes its place has little left to wait for.
void StartWriteBack(int fd, std::uint64_t offset, std::uint64_t size) {
#if defined(__linux__)
    ::sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(size), SYNC_FILE_RANGE_WRITE);
#else
    (void)fd, (void)offset, (void)size;
#endif
}

// Copies the whole file, through the kernel's copy (a reflink where the file system has them), in pieces
// whose write-back starts as each is copied.
CResult<void> CopyAll(int from, int to) {
    struct stat info {};
    if (::fstat(from, &info) != 0)
        return Fail("cannot read the image");
    const auto size = static_cast<std::uint64_t>(info.st_size);
    std::uint64_t done = 0;
    while (done < size) {
        const std::uint64_t want = std::min<std::uint64_t>(kCopyPiece, size - done);
        const ssize_t put = ::copy_file_range(from, nullptr, to, nullptr, want, 0);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break;
        StartWriteBack(to, done, static_cast<std::uint64_t>(put));
        done += static_cast<std::uint64_t>(put);
    }
    if (done == size)
        return {};
    // No kernel copy between these files: read and write.
    std::vector<char> buffer(kChunk);
    while (done < size) {
        const ssize_t got = ::pread(from, buffer.data(), std::min<std::uint64_t>(kChunk, size - done),
                                    static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return Fail("cannot read the image");
        if (!WriteAt(to, buffer.data(), static_cast<std::size_t>(got), done))
            return Fail("cannot write the image");
        StartWriteBack(to, done, static_cast<std::uint64_t>(got));
        done += static_cast<std::uint64_t>(got);
    }
    return {};
}

} // namespace

CResult<void> WriteEditedCopy(const std::string& imagePath, const std::string& outputPath,
                              const BlockEditPlan& plan) {
    CFd image(::open(imagePath.c_str(), O_RDONLY | O_CLOEXEC));
    if (image.Get() < 0)
        return Fail("cannot read " + imagePath);
    // The copy is edited in the writer's temporary file and takes the output's place only when complete.
    CAtomicFileWriter output(outputPath);
    if (!output.Open())
        return Failure(output.Error());
    CResult<void> done = CopyAll(image.Get(), output.Handle());
    if (done)
        done = Grow(output.Handle(), plan);
    for (std::size_t i = 0; done && i < plan.data.size(); ++i)
        done = WriteData(output.Handle(), plan.data[i], image.Get());
    for (std::size_t i = 0; done && i < plan.zeros.size(); ++i)
        done = WriteZeros(output.Handle(), plan.zeros[i]);
    if (done)
        done = WritePatches(output.Handle(), plan);
    if (done && !output.Commit())
        return Failure(output.Error());
    return done;
}

CResult<void> EditImageInPlace(const std::string& imagePath, const BlockEditPlan& plan) {
    CFd image(::open(imagePath.c_str(), O_RDWR | O_CLOEXEC));
    if (image.Get() < 0)
        return Fail("cannot open " + imagePath + " for writing");
    if (CResult<void> grown = Grow(image.Get(), plan); !grown)
        return grown;
    for (const EditData& data : plan.data) {
        // Data moved within the image is placed by a copy that replaces it whole, never in place.
        if (data.sourcePath.empty())
            return Failure("moving data within the image is done on a copy");
        if (CResult<void> written = WriteData(image.Get(), data, image.Get()); !written)
            return written;
    }
    if (CResult<void> synced = Sync(image.Get()); !synced)
        return synced;
    if (CResult<void> patched = WritePatches(image.Get(), plan); !patched)
        return patched;
    if (CResult<void> synced = Sync(image.Get()); !synced)
        return synced;
    for (const EditZeros& zeros : plan.zeros)
        if (CResult<void> zeroed = WriteZeros(image.Get(), zeros); !zeroed)
            return zeroed;
    if (plan.zeros.empty())
        return {};
    return Sync(image.Get());
}
