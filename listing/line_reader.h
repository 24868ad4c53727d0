// Reading a listing file line by line in large blocks, and counting one byte over a whole file.
#pragma once

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Reads the lines of a file opened for binary reading ("rb"), with the line ends of a text-mode stream:
// a line ends at a line feed, which is removed, and a carriage return directly before it is dropped.
// A carriage return anywhere else is part of the line. Lines have no length limit.
class CLineReader {
public:
    static constexpr std::size_t kBlockSize = 256 * 1024;

    // Reads from the file's current position. The file stays owned by the caller and must outlive the
    // reader.
    explicit CLineReader(std::FILE* file);

    CLineReader(const CLineReader&) = delete;
    CLineReader& operator=(const CLineReader&) = delete;

    // Replaces `line` with the next line. Returns false only when no byte is left, so a last line without
    // a line feed is still returned, and an empty line before the end is returned as empty.
    bool ReadLine(std::string& line);

    // True when the stream reported a read error; the reader then behaves as at the end of the file.
    bool ReadFailed() const;

    // Reads no more than `bytes` bytes from here on, as if the file ended there: a file that grows while it
    // is read is read as far as it reached when it was measured.
    void LimitTo(unsigned long long bytes) { m_nLeft = bytes; }

private:
    bool FillBuffer();

    std::FILE* m_pFile;
    std::vector<char> m_vecBuffer;
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
    unsigned long long m_nLeft = ~0ULL;
    bool m_bReadFailed = false;
};

// Reads the lines of bytes already in memory with the line ends of CLineReader, without copying: each
// line is a view into the bytes, which must outlive it.
class CMemoryLineReader {
public:
    explicit CMemoryLineReader(std::string_view bytes) : m_bytes(bytes) {}

    // Sets `line` to the next line. Returns false only when no byte is left.
    bool ReadLine(std::string_view& line) {
        if (m_nPos >= m_bytes.size()) {
            line = {};
            return false;
        }
        const char* begin = m_bytes.data() + m_nPos;
        const std::size_t available = m_bytes.size() - m_nPos;
        const auto* feed = static_cast<const char*>(std::memchr(begin, '\n', available));
        if (feed == nullptr) {
            line = std::string_view(begin, available);
            m_nPos = m_bytes.size();
            return true;
        }
        std::size_t length = static_cast<std::size_t>(feed - begin);
        m_nPos += length + 1;
        if (length > 0 && begin[length - 1] == '\r')
            --length;
        line = std::string_view(begin, length);
        return true;
    }

private:
    std::string_view m_bytes;
    std::size_t m_nPos = 0;
};

// Counts the occurrences of `c` in the bytes; several times faster than std::count over a large listing.
long long CountByteIn(std::string_view bytes, char c);

// Counts the occurrences of `c` in the file, from its start whatever the current position, reading it in
// blocks of CLineReader::kBlockSize and calling `afterEachBlock` (when set) after each block so a caller
// can keep its window responsive. Of a regular file only the length it has when the count starts is read,
// so a file that grows meanwhile cannot keep the count going for ever; a stream of another kind (in memory,
// a pipe) is read to its end. Returns -1 when the file cannot be positioned or read.
long long CountByte(std::FILE* file, char c, const std::function<void()>& afterEachBlock);
