// Opening a disc image named on the command line for the block-level commands (replace, which, diff).
#pragma once

#include <optional>

#include <QString>

#include "disc/image_file.h"
#include "disc/iso9660_volume.h"

// Whether the file starts like an ISO 9660 image (a volume descriptor at block 16) rather than a listing.
bool LooksLikeIsoImage(const QString& path);

// The structures of the image at `path`, or none with the reason reported.
std::optional<IsoVolume> ReadVolumeOf(const QString& path, IsoTrees trees = IsoTrees::All);
