// How an image writes its ISO 9660 and Joliet names (level, ";1" versions, forced dots), read from the
// image so that a rebuilt image gets the same names from the engine.
#pragma once

#include <string>

#include "listing/failure.h"

// How one tree writes its file names: with a ";1" version or without, and a name without an extension with
// a dot forced on ("NAME.") or not. Unseen is left false.
struct TreeStyle {
    bool versions = false;
    bool noForcedDots = false;
};

struct NameStyle {
    int isoLevel = 1; // 1 when every ISO 9660 name is an 8.3 name, else 2; 3 for files of several extents
    TreeStyle iso;
    TreeStyle joliet;
};

// Reads the style of the source's names; a failure when the image cannot be read.
CResult<NameStyle> SourceNameStyle(const std::string& sourcePath, bool needsLevel3);
