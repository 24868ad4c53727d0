#include "cli/disc_volume_input.h"

#include <string>

#include <QFile>

#include "cli/cli_io.h"

bool LooksLikeIsoImage(const QString& path) {
    CImageFile file;
    char id[5];
    return file.Open(QFile::encodeName(path).toStdString(), false) &&
           file.ReadAt(std::uint64_t{16} * kIsoBlock + 1, id, sizeof id) && std::string(id, 5) == "CD001";
}

CResult<IsoVolume> ReadVolumeOf(const QString& path, IsoTrees trees) {
    CImageFile file;
    if (const CResult<void> opened = file.Open(QFile::encodeName(path).toStdString(), false); !opened)
        return PlacedIn(path, opened.Error());
    CResult<IsoVolume> read = ReadIsoVolume(file, trees);
    if (!read)
        return PlacedIn(path, read.Error());
    return read;
}
