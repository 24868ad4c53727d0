// Sort-weight files for the tools that build disc images, written from a list of names in the order the
// files should lie on the disc: the first name gets the highest weight, and no two names share one.
//
// - mkisofs-sort ("-sort FILE" of mkisofs and genisoimage): lines "path weight". The path is the file's
//   path on disk as the tool is given it: PREFIX/NAME, or ./NAME without a prefix, for the tool run in
//   the tree's folder on ".". The tool splits the line at its last blank and matches the path as a shell
//   pattern, so "*", "?" and "[" are escaped with a backslash; blanks at either end of a name are kept.
// - xorriso-weights ("--sort-weight-list FILE" of xorrisofs): lines "weight iso_rr_path". The path is
//   the file's path in the image, PREFIX/NAME or /NAME, taken as it stands from after the first blank to
//   the end of the line.
//
// Listings write folders with backslashes, as the tools that make them do; both tools want slashes. So a
// backslash in a name becomes a slash, and slashes at the start of a name are dropped (the prefix supplies
// the root). Every other byte is written as it is. Lines end with a line feed alone: a carriage return
// would become part of the path, and the tools would then silently match nothing. The prefix must hold
// no line feed or NUL byte.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "listing/failure.h"

enum class SortWeightFormat { MkisofsSort, XorrisoWeights };

// The format of a command-line name ("mkisofs-sort", "xorriso-weights"); none for another name.
std::optional<SortWeightFormat> SortWeightFormatNamed(std::string_view name);
const char* SortWeightFormatName(SortWeightFormat format);

// The longest line, line feed not counted, that the format's tool reads whole: genisoimage reads its sort
// file through a buffer of 4096 bytes, xorriso its weight list through one a byte shorter in effect.
std::size_t MaxSortWeightLine(SortWeightFormat format);

// Appends the weight lines of nameAt(0) to nameAt(count - 1) to out. When some name cannot be carried
// (a line feed or NUL byte in it, nothing left once the leading slashes are gone, a line longer than the
// tool reads whole, or more names than weights), nothing is appended and the failure says why, its line
// the 1-based place of the first such name in the list.
CResult<void> AppendSortWeights(std::string& out, SortWeightFormat format, std::string_view prefix,
                                std::size_t count,
                                const std::function<std::string_view(std::size_t)>& nameAt);
