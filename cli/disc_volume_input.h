// Opening a disc image named on the command line for the block-level commands (replace, which, diff).
#pragma once

#include <QString>

#include "disc/image_file.h"
#include "disc/iso9660_volume.h"

// Whether the file starts like an ISO 9660 image (a volume descriptor at block 16) rather than a listing.
bool LooksLikeIsoImage(const QString& path);

// The structures of the image at `path`, or why they cannot be read.
CResult<IsoVolume> ReadVolumeOf(const QString& path, IsoTrees trees = IsoTrees::All);
