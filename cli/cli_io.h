// Input, output and error reporting shared by the subcommands of quarrow-cli.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QString>

class CAtomicFileWriter;

// Exit statuses of every subcommand.
enum CliStatus { kStatusOk = 0, kStatusProblemFound = 1, kStatusError = 2 };

// Writes "quarrow-cli: FILE:LINE: REASON" (the line only when it is above 0) to stderr.
void PrintError(const QString& file, long long line, const QString& reason);
// Writes "quarrow-cli: REASON" to stderr.
void PrintError(const QString& reason);

// The whole content of a regular file, or of stdin for "-"; an error is reported and nullopt returned when
// it cannot be read. A FIFO, a device or a folder is refused: it could wait for ever or never end. A file
// that changes while it is read (its size or time) is an error, not a mix of old and new lines.
std::optional<std::string> ReadInput(const QString& path);

// The whole content of a listing named on the command line, read as ReadInput reads it, into a buffer of
// its own: a listing truncated or rewritten while a command runs cannot pull the bytes from under it.
class CInputBytes {
public:
    CInputBytes() = default;
    CInputBytes(CInputBytes&& other) noexcept = default;
    CInputBytes& operator=(CInputBytes&& other) noexcept = default;

    // The content, or none (with the error reported) when it cannot be read.
    static std::optional<CInputBytes> Open(const QString& path);

    std::string_view View() const {
        return m_pBytes ? std::string_view(m_pBytes.get(), m_nSize) : std::string_view(m_text);
    }

private:
    // Frees a buffer of CUninitAllocator's large kind.
    struct CLargeFree {
        std::size_t bytes;
        void operator()(char* p) const;
    };

    std::string m_text;                       // stdin
    std::unique_ptr<char, CLargeFree> m_pBytes; // a file: mapped on its own, in huge pages where offered
    std::size_t m_nSize = 0;
};

// Writes bytes to a file, replacing it only once everything is written, or to stdout for "-". False
// (with the error reported) when it could not be written.
bool WriteOutput(const QString& path, std::string_view bytes);

// An output written piece by piece, for outputs too large to hold whole: a file replaced only by Commit,
// or stdout for "-". Lines are gathered in Buffer() and written out whenever it grows past a chunk.
class COutput {
public:
    explicit COutput(const QString& path);
    ~COutput();
    COutput(const COutput&) = delete;
    COutput& operator=(const COutput&) = delete;

    // False (with the error reported) when the file cannot be opened.
    bool Open();
    std::string& Buffer() { return m_buffer; }
    // Writes the buffer when it holds a chunk or more.
    void Flush() {
        if (m_buffer.size() >= kChunk)
            Write();
    }
    // Writes the buffer, then `bytes`.
    void Write(std::string_view bytes);
    // Writes what is left and replaces the file; false (with the error reported) when any write failed.
    bool Commit();

private:
    static constexpr std::size_t kChunk = 1 << 20;
    void Write();
    void WriteBytes(std::string_view bytes);

    QString m_path;
    std::unique_ptr<CAtomicFileWriter> m_pFile; // none for stdout
    std::string m_buffer;
    bool m_bFailed = false;
};
