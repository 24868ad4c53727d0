#include "disc/atomic_output.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

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

}  // namespace

CAtomicOutput::~CAtomicOutput() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_strTemp.empty())
        ::unlink(m_strTemp.c_str());
}

bool CAtomicOutput::Open(std::string& error) {
    std::string pattern = FolderOf(m_strOutput) + "/." + FileNameOf(m_strOutput) + ".XXXXXX";
    m_fd = ::mkstemp(pattern.data());
    if (m_fd < 0) {
        error = "cannot create a file beside " + m_strOutput + ": " + std::strerror(errno);
        return false;
    }
    m_strTemp = pattern;
    return true;
}

bool CAtomicOutput::Write(const unsigned char* data, std::size_t size, std::string& error) {
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

bool CAtomicOutput::Commit(std::string& error) {
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
