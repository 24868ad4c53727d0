// The --map output of the commands that write an image: the new image's own three-column listing.
#pragma once

#include <QString>

// Reads the image just written at `imagePath` and writes its listing to `mapPath` ('-' for stdout); false
// after reporting why not.
bool WriteImageMap(const QString& imagePath, const QString& mapPath);
