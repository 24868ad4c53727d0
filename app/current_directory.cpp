#include "app/current_directory.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <unistd.h>

#include <QFile>

QString CurrentDirectory() {
    // Paths have no fixed limit here, so the buffer grows until the whole path fits.
    std::string buffer(256, '\0');
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            std::perror("_getcwd error");
            return QString();
        }
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return QFile::decodeName(QByteArray(buffer.data(), static_cast<qsizetype>(buffer.size())));
}
