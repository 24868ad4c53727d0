#include "cli/cli_io.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include <QFile>
#include <QSaveFile>

namespace {

bool IsStdStream(const QString& path) { return path == QStringLiteral("-"); }

QString ShownName(const QString& path) { return IsStdStream(path) ? QStringLiteral("<stdin>") : path; }

}  // namespace

void PrintError(const QString& file, long long line, const QString& reason) {
    QString text = QStringLiteral("quarrow-cli: ") + file;
    if (line > 0)
        text += QLatin1Char(':') + QString::number(line);
    text += QStringLiteral(": ") + reason + QLatin1Char('\n');
    std::fputs(text.toLocal8Bit().constData(), stderr);
}

void PrintError(const QString& reason) {
    std::fputs((QStringLiteral("quarrow-cli: ") + reason + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
}

std::optional<std::string> ReadInput(const QString& path) {
    QFile file;
    const bool opened = IsStdStream(path) ? file.open(stdin, QIODevice::ReadOnly)
                                          : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        PrintError(ShownName(path), 0, file.errorString());
        return std::nullopt;
    }
    // Read straight into the string: a listing of a million lines is some 50 MB, not worth a second copy.
    std::string bytes;
    const qint64 size = file.isSequential() ? 0 : file.size();
    bytes.resize(size > 0 ? static_cast<std::size_t>(size) + 1 : std::size_t{1} << 20);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const qint64 got = file.read(bytes.data() + used, static_cast<qint64>(bytes.size() - used));
        if (got < 0) {
            PrintError(ShownName(path), 0, file.errorString());
            return std::nullopt;
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return bytes;
}

CInputBytes::CInputBytes(CInputBytes&& other) noexcept
    : m_text(std::move(other.m_text)), m_pMap(std::exchange(other.m_pMap, nullptr)),
      m_nMapSize(std::exchange(other.m_nMapSize, 0)) {}

CInputBytes& CInputBytes::operator=(CInputBytes&& other) noexcept {
    if (this != &other) {
        this->~CInputBytes();
        new (this) CInputBytes(std::move(other));
    }
    return *this;
}

CInputBytes::~CInputBytes() {
    if (m_pMap)
        munmap(m_pMap, m_nMapSize);
}

std::optional<CInputBytes> CInputBytes::Open(const QString& path) {
    CInputBytes input;
    if (!IsStdStream(path)) {
        const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (fd >= 0 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
            // Mapped with its pages read in at once, the file costs no copy and few page faults.
            void* map = mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE,
                             fd, 0);
            close(fd);
            if (map != MAP_FAILED) {
                input.m_pMap = map;
                input.m_nMapSize = static_cast<std::size_t>(info.st_size);
                return input;
            }
        } else if (fd >= 0) {
            close(fd);
        }
    }
    std::optional<std::string> text = ReadInput(path);
    if (!text)
        return std::nullopt;
    input.m_text = std::move(*text);
    return input;
}

bool WriteOutput(const QString& path, std::string_view bytes) {
    if (IsStdStream(path)) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
            PrintError(QStringLiteral("<stdout>"), 0, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        return true;
    }
    QSaveFile file(path);
    const auto size = static_cast<qint64>(bytes.size());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), size) != size || !file.commit()) {
        PrintError(path, 0, file.errorString());
        return false;
    }
    return true;
}

COutput::COutput(const QString& path) : m_path(path) {}

COutput::~COutput() = default;

bool COutput::Open() {
    m_buffer.reserve(kChunk + kChunk / 4);
    if (IsStdStream(m_path))
        return true;
    m_pFile = std::make_unique<QSaveFile>(m_path);
    if (!m_pFile->open(QIODevice::WriteOnly)) {
        PrintError(m_path, 0, m_pFile->errorString());
        return false;
    }
    return true;
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
        const auto size = static_cast<qint64>(bytes.size());
        m_bFailed = m_pFile->write(bytes.data(), size) != size;
    } else {
        m_bFailed = std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size();
    }
}

bool COutput::Commit() {
    Write();
    if (!m_pFile) {
        if (m_bFailed || std::fflush(stdout) != 0) {
            PrintError(QStringLiteral("<stdout>"), 0, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        return true;
    }
    if (m_bFailed || !m_pFile->commit()) {
        PrintError(m_path, 0, m_pFile->errorString());
        return false;
    }
    return true;
}
