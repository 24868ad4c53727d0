#include "cli/image_map.h"

#include <QFile>

#include "cli/cli_io.h"
#include "disc/disc_image.h"
#include "disc/extent_listing.h"

bool WriteImageMap(const QString& imagePath, const QString& mapPath) {
    const DiscReadResult read = ReadDiscImage(QFile::encodeName(imagePath).toStdString());
    if (!read.ok) {
        PrintError(imagePath, 0, QString::fromStdString(read.error));
        return false;
    }
    return WriteOutput(mapPath, FormatThreeColumnListing(read.extents));
}
