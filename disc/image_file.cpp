#include "disc/image_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CImageFile::~CImageFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

CResult<void> CImageFile::Open(const std::string& path, bool writable) {
    m_fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    struct stat info {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
        return Failure{std::strerror(errno)};
    if (!S_ISREG(info.st_mode))
        return Failure{"not a regular file"};
    m_nSize = static_cast<std::uint64_t>(info.st_size);
    return {};
}

bool CImageFile::ReadAt(std::uint64_t offset, char* data, std::size_t size) const {
    if (offset > m_nSize || size > m_nSize - offset)
        return false;
    while (size > 0) {
        const ssize_t got = ::pread(m_fd, data, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        size -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}
