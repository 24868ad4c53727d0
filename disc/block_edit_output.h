// Carrying out a block edit plan: on a copy of the image that replaces OUT only when complete, or on the
// image itself.
#pragma once

#include <string>

#include "disc/block_edit.h"
#include "listing/failure.h"

// Copies the image to a temporary file beside outputPath, applies the plan, syncs it and renames it onto
// outputPath. On failure nothing is left behind and outputPath is untouched.
CResult<void> WriteEditedCopy(const std::string& imagePath, const std::string& outputPath,
                              const BlockEditPlan& plan);

// Applies the plan to the image itself in three synced steps: the new data (into free blocks, or over the
// file's own blocks when it stays in place), then the records and descriptors, then the zeroing of the
// blocks given up. A crash in the first step leaves the old records pointing at the old data, unless a
// file was rewritten in place.
CResult<void> EditImageInPlace(const std::string& imagePath, const BlockEditPlan& plan);
