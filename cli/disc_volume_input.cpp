#include "cli/disc_volume_input.h"

#include <string>

#include <QFile>

#include "cli/cli_io.h"

bool LooksLikeIsoImage(const QString& path) {
    CImageFile file;
    std::string error;
    char id[5];
    return file.Open(QFile::encodeName(path).toStdString(), false, error) &&
           file.ReadAt(std::uint64_t{16} * kIsoBlock + 1, id, sizeof id) && std::string(id, 5) == "CD001";
}

std::optional<IsoVolume> ReadVolumeOf(const QString& path, IsoTrees trees) {
    CImageFile file;
    std::string error;
    if (!file.Open(QFile::encodeName(path).toStdString(), false, error)) {
        PrintError(path, 0, QString::fromStdString(error));
        return std::nullopt;
    }
    IsoVolumeResult read = ReadIsoVolume(file, trees);
    if (!read.ok) {
        PrintError(path, 0, QString::fromStdString(read.error));
        return std::nullopt;
    }
    return std::move(read.volume);
}
