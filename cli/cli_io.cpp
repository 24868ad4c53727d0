#include "cli/cli_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include <QFile>

#include "base/parallel_parts.h"
#include "listing/atomic_file_writer.h"
#include "sorting/radix_sort.h"

namespace {

bool IsStdStream(const QString& path) {
    return path == QStringLiteral("-");
}

QString ShownName(const QString& path) {
    return IsStdStream(path) ? QStringLiteral("<stdin>") : path;
}

} // namespace

Failure FailureIn(const QString& file, long long line, const QString& reason) {
    return Failure(reason.toStdString(), file.toLocal8Bit().toStdString(), line);
}

Failure FailureOf(const QString& reason) {
    return Failure(reason.toStdString());
}

Failure PlacedIn(const QString& file, Failure failure) {
    failure.file = file.toLocal8Bit().toStdString();
    return failure;
}

void PrintFailure(const Failure& failure) {
    // Texts from the disc library are bytes that should be UTF-8; shown as Qt shows them, like every other.
    QString text = QStringLiteral("quarrow-cli: ");
    if (!failure.file.empty()) {
        text += QString::fromLocal8Bit(failure.file);
        if (failure.line > 0)
            text += QLatin1Char(':') + QString::number(failure.line);
        text += QStringLiteral(": ");
    }
    text += QString::fromStdString(failure.message) + QLatin1Char('\n');
    std::fputs(text.toLocal8Bit().constData(), stderr);
}

int ReportFailure(const Failure& failure) {
    PrintFailure(failure);
    return kStatusError;
}

int ExitStatusOf(const CResult<void>& done) {
    return done ? kStatusOk : ReportFailure(done.Error());
}

void PrintError(const QString& file, long long line, const QString& reason) {
    PrintFailure(FailureIn(file, line, reason));
}

void PrintError(const QString& reason) {
    PrintFailure(FailureOf(reason));
}

namespace {

CResult<std::string> ReadStdin() {
    QFile file;
    if (!file.open(stdin, QIODevice::ReadOnly))
        return FailureIn(ShownName(QStringLiteral("-")), 0, file.errorString());
    std::string bytes(std::size_t{1} << 20, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const qint64 got = file.read(bytes.data() + used, static_cast<qint64>(bytes.size() - used));
        if (got < 0)
            return FailureIn(ShownName(QStringLiteral("-")), 0, file.errorString());
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return bytes;
}

// Files from this size up are read in two halves side by side.
constexpr std::size_t kTwoReadsSize = std::size_t{1} << 20;

// The outcome of reading one part of a file: the bytes read from its start, or the error.
struct PartRead {
    std::size_t bytes = 0;
    int error = 0;
};

// Reads the bytes from `begin` to `end` of the file into the same places of `buffer`, stopping early
// at the end of the file.
PartRead ReadPart(int fd, char* buffer, std::size_t begin, std::size_t end) {
    PartRead part;
    while (begin + part.bytes < end) {
        const std::size_t at = begin + part.bytes;
        const ssize_t got = pread(fd, buffer + at, end - at, static_cast<off_t>(at));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            part.error = errno;
            break;
        }
        if (got == 0)
            break;
        part.bytes += static_cast<std::size_t>(got);
    }
    return part;
}

bool SameState(const struct stat& a, const struct stat& b) {
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

CResult<std::string> ReadInput(const QString& path) {
    if (IsStdStream(path))
        return ReadStdin();
    const CResult<CInputBytes> input = CInputBytes::Open(path);
    if (!input)
        return input.Error();
    return std::string(input->View());
}

CResult<CInputBytes> CInputBytes::Open(const QString& path) {
    CInputBytes input;
    if (IsStdStream(path)) {
        CResult<std::string> text = ReadStdin();
        if (!text)
            return text.Error();
        input.m_text = std::move(*text);
        return input;
    }
    const auto fail = [&path](int error) {
        return CResult<CInputBytes>(FailureIn(path, 0, QString::fromLocal8Bit(std::strerror(error))));
    };
    // Without waiting: the open of a FIFO would otherwise wait for a writer.
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    struct FdCloser {
        int fd;
        ~FdCloser() { close(fd); }
    } closer{fd};
    struct stat before {};
    if (fstat(fd, &before) != 0)
        return fail(errno);
    if (!S_ISREG(before.st_mode)) {
        return FailureIn(path, 0,
                         S_ISDIR(before.st_mode)
                             ? QStringLiteral("it is a folder, not a file")
                             : QStringLiteral("not a regular file (a FIFO, socket or device); give a "
                                              "file, or - for standard input"));
    }
    const auto size = static_cast<std::size_t>(before.st_size);
    // Large and in huge pages where the system offers them: 50 MB in small pages cost twelve thousand
    // page faults.
    const std::size_t capacity = size + 1;
    input.m_pBytes = std::unique_ptr<char, CLargeFree>(
        static_cast<char*>(radix_sort_detail::AllocateLarge(capacity)), CLargeFree{capacity});
    // A large file is read in two halves side by side: copying from the page cache is most of the work.
    const std::size_t half = size >= kTwoReadsSize ? size / 2 : size;
    PartRead first;
    PartRead second;
    RunParts(half < size ? 2 : 1, [&](unsigned part) {
        if (part == 0)
            first = ReadPart(fd, input.m_pBytes.get(), 0, half);
        else
            second = ReadPart(fd, input.m_pBytes.get(), half, size);
    });
    if (first.error != 0)
        return fail(first.error);
    if (second.error != 0)
        return fail(second.error);
    // A part cut short means the file ended early: only the bytes up to the first gap count.
    const std::size_t used = first.bytes < half ? first.bytes : half + second.bytes;
    // A listing cut short or rewritten while it was read would give a mix of lines or lose some: refused.
    struct stat after {};
    if (fstat(fd, &after) != 0)
        return fail(errno);
    if (used != size || !SameState(before, after)) {
        return FailureIn(path, 0,
                         QStringLiteral("the file changed while it was read (%1 bytes at the start, %2 read, "
                                        "%3 now); run the command again once it is written")
                             .arg(size)
                             .arg(used)
                             .arg(static_cast<long long>(after.st_size)));
    }
    input.m_nSize = used;
    return input;
}

void CInputBytes::CLargeFree::operator()(char* p) const {
    radix_sort_detail::FreeLarge(p, bytes);
}

CResult<void> WriteOutput(const QString& path, std::string_view bytes) {
    if (IsStdStream(path)) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
            return FailureIn(QStringLiteral("<stdout>"), 0, QString::fromLocal8Bit(std::strerror(errno)));
        return {};
    }
    CAtomicFileWriter file(QFile::encodeName(path).toStdString());
    if (!file.Open() || !file.Write(bytes) || !file.Commit())
        return FailureOf(QString::fromLocal8Bit(file.Error()));
    return {};
}

COutput::COutput(const QString& path) : m_path(path) {}

COutput::~COutput() = default;

CResult<void> COutput::Open() {
    m_buffer.reserve(kChunk + kChunk / 4);
    if (IsStdStream(m_path))
        return {};
    m_pFile = std::make_unique<CAtomicFileWriter>(QFile::encodeName(m_path).toStdString());
    if (!m_pFile->Open())
        return FailureOf(QString::fromLocal8Bit(m_pFile->Error()));
    return {};
}

void COutput::Write() {
    WriteBytes(m_buffer);
    m_buffer.clear();
}

void COutput::Write(std::string_view bytes) {
    Write();
    WriteBytes(bytes);
}

void COutput::WriteBytes(std::string_view bytes) {
    if (m_bFailed || bytes.empty())
        return;
    if (m_pFile) {
        m_bFailed = !m_pFile->Write(bytes);
    } else {
        m_bFailed = std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size();
    }
}

CResult<void> COutput::Commit() {
    Write();
    if (!m_pFile) {
        if (m_bFailed || std::fflush(stdout) != 0)
            return FailureIn(QStringLiteral("<stdout>"), 0, QString::fromLocal8Bit(std::strerror(errno)));
        return {};
    }
    if (m_bFailed || !m_pFile->Commit())
        return FailureOf(QString::fromLocal8Bit(m_pFile->Error()));
    return {};
}
