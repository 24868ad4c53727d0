// Input, output and error reporting shared by the subcommands of quarrow-cli.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <QString>

#include "listing/failure.h"

class CAtomicFileWriter;

// Exit statuses of every subcommand.
enum CliStatus { kStatusOk = 0, kStatusProblemFound = 1, kStatusError = 2 };

// A failure in the file shown as `file`, at `line` when it is above 0.
Failure FailureIn(const QString& file, long long line, const QString& reason);
// A failure tied to no file.
Failure FailureOf(const QString& reason);
// The failure of a reader of bytes (which knows the line, not the file) placed in the file shown as `file`.
Failure PlacedIn(const QString& file, Failure failure);

// Writes the failure to stderr, the one form every message of quarrow-cli takes: "quarrow-cli: FILE:LINE:
// REASON", without the line when it is 0 and as "quarrow-cli: REASON" when no file is named.
void PrintFailure(const Failure& failure);
// Prints the failure and gives the status a command that failed ends with.
int ReportFailure(const Failure& failure);
// The status a command ends with after its last step: 0, or 2 once the failure is printed.
int ExitStatusOf(const CResult<void>& done);
// PrintFailure of FailureIn and of FailureOf.
void PrintError(const QString& file, long long line, const QString& reason);
void PrintError(const QString& reason);

// The whole content of a regular file, or of stdin for "-". A FIFO, a device or a folder is refused: it
// could wait for ever or never end. A file that changes while it is read (its size or time) is a failure,
// not a mix of old and new lines.
CResult<std::string> ReadInput(const QString& path);

// The whole content of a listing named on the command line, read as ReadInput reads it, into a buffer of
// its own: a listing truncated or rewritten while a command runs cannot pull the bytes from under it.
class CInputBytes {
public:
    CInputBytes() = default;
    CInputBytes(CInputBytes&& other) noexcept = default;
    CInputBytes& operator=(CInputBytes&& other) noexcept = default;

    // The content, or why it cannot be read.
    static CResult<CInputBytes> Open(const QString& path);

    std::string_view View() const {
        return m_pBytes ? std::string_view(m_pBytes.get(), m_nSize) : std::string_view(m_text);
    }

private:
    // Frees a buffer of CUninitAllocator's large kind.
    struct CLargeFree {
        std::size_t bytes;
        void operator()(char* p) const;
    };

    std::string m_text;                         // stdin
    std::unique_ptr<char, CLargeFree> m_pBytes; // a file: mapped on its own, in huge pages where offered
    std::size_t m_nSize = 0;
};

// Writes bytes to a file, replacing it only once everything is written, or to stdout for "-".
CResult<void> WriteOutput(const QString& path, std::string_view bytes);

// An output written piece by piece, for outputs too large to hold whole: a file replaced only by Commit,
// or stdout for "-". Lines are gathered in Buffer() and written out whenever it grows past a chunk.
class COutput {
public:
    explicit COutput(const QString& path);
    ~COutput();
    COutput(const COutput&) = delete;
    COutput& operator=(const COutput&) = delete;

    // A failure when the file cannot be opened.
    CResult<void> Open();
    std::string& Buffer() { return m_buffer; }
    // Writes the buffer when it holds a chunk or more.
    void Flush() {
        if (m_buffer.size() >= kChunk)
            Write();
    }
    // Writes the buffer, then `bytes`.
    void Write(std::string_view bytes);
    // Writes what is left and replaces the file; a failure when any write failed.
    CResult<void> Commit();

private:
    static constexpr std::size_t kChunk = 1 << 20;
    void Write();
    void WriteBytes(std::string_view bytes);

    QString m_path;
    std::unique_ptr<CAtomicFileWriter> m_pFile; // none for stdout
    std::string m_buffer;
    bool m_bFailed = false;
};
