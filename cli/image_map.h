// The --map output of the commands that write an image: the new image's own three-column listing.
#pragma once

#include <QString>

#include "listing/failure.h"

// Reads the image just written at `imagePath` and writes its listing to `mapPath` ('-' for stdout).
CResult<void> WriteImageMap(const QString& imagePath, const QString& mapPath);
