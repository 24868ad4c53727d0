#include "cli/image_map.h"

#include <QFile>

#include "cli/cli_io.h"
#include "disc/disc_image.h"
#include "disc/extent_listing.h"

CResult<void> WriteImageMap(const QString& imagePath, const QString& mapPath) {
    const CResult<std::vector<DiscExtent>> read = ReadDiscImage(QFile::encodeName(imagePath).toStdString());
    if (!read)
        return PlacedIn(imagePath, read.Error());
    return WriteOutput(mapPath, FormatThreeColumnListing(*read));
}
