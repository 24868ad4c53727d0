#include "cli/cli_io.h"

#include <cstdio>

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
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        PrintError(ShownName(path), 0, file.errorString());
        return std::nullopt;
    }
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool WriteOutput(const QString& path, std::string_view bytes) {
    if (IsStdStream(path)) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
            PrintError(QStringLiteral("<stdout>"), 0, QStringLiteral("write failed"));
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
