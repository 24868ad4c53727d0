#include "listing/line_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <sys/stat.h>

CLineReader::CLineReader(std::FILE* file) : m_pFile(file), m_vecBuffer(kBlockSize) {}

bool CLineReader::FillBuffer() {
    if (m_bReadFailed)
        return false;
    m_nPos = 0;
    const auto want = static_cast<std::size_t>(std::min<unsigned long long>(m_vecBuffer.size(), m_nLeft));
    m_nEnd = want == 0 ? 0 : std::fread(m_vecBuffer.data(), 1, want, m_pFile);
    m_nLeft -= m_nEnd;
    if (m_nEnd == 0 && std::ferror(m_pFile))
        m_bReadFailed = true;
    return m_nEnd > 0;
}

bool CLineReader::ReadLine(std::string& line) {
    line.clear();
    bool anyByte = false;
    for (;;) {
        if (m_nPos == m_nEnd && !FillBuffer())
            return anyByte;
        anyByte = true;
        const char* begin = m_vecBuffer.data() + m_nPos;
        const std::size_t available = m_nEnd - m_nPos;
        const auto* feed = static_cast<const char*>(std::memchr(begin, '\n', available));
        if (feed == nullptr) {
            line.append(begin, available);
            m_nPos = m_nEnd;
            continue;
        }
        line.append(begin, feed);
        m_nPos += static_cast<std::size_t>(feed - begin) + 1;
        // The carriage return may have come at the end of the previous block; it is in `line` either way.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }
}

bool CLineReader::ReadFailed() const {
    return m_bReadFailed;
}

// Counts in runs of 64 bytes with an 8-bit tally, a shape the compiler turns into vector compares; a plain
// std::count runs several times slower over a large listing.
long long CountByteIn(std::string_view text, char c) {
    const char* bytes = text.data();
    const std::size_t size = text.size();
    constexpr std::size_t kRun = 64;
    long long count = 0;
    std::size_t i = 0;
    for (; i + kRun <= size; i += kRun) {
        unsigned char run = 0;
        for (std::size_t j = 0; j < kRun; ++j)
            run = static_cast<unsigned char>(run + (bytes[i + j] == c));
        count += run;
    }
    for (; i < size; ++i)
        count += bytes[i] == c;
    return count;
}

long long CountByte(std::FILE* file, char c, const std::function<void()>& afterEachBlock) {
    if (std::fseek(file, 0, SEEK_SET) != 0)
        return -1;
    // A regular file is read as far as its length now; a stream without one (in memory, a pipe) to its end.
    auto left = std::numeric_limits<unsigned long long>::max();
    struct stat info {};
    const int fd = fileno(file);
    if (fd >= 0 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        left = static_cast<unsigned long long>(std::max<off_t>(info.st_size, 0));
    std::vector<char> buffer(CLineReader::kBlockSize);
    long long count = 0;
    while (left > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<unsigned long long>(left, buffer.size()));
        const std::size_t got = std::fread(buffer.data(), 1, want, file);
        if (got == 0)
            break;
        left -= got;
        count += CountByteIn(std::string_view(buffer.data(), got), c);
        if (afterEachBlock)
            afterEachBlock();
    }
    return std::ferror(file) ? -1 : count;
}
