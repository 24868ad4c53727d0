// Scan's reading of a listing's first line and the set-up of the dialog that follows from it.
#pragma once

#include <array>
#include <cstdio>
#include <optional>

#include "listing/listing_format.h"

// What the first line of a file holds: commas and vertical bars counted together, and whether any comma
// was among them; and whether reading the file failed before the line ended.
struct ScanCount {
    int counter = 0;
    bool comma = false;
    bool readFailed = false;

    bool operator==(const ScanCount&) const = default;
};

// Reads the file from its start up to its first carriage return, line feed or end, whichever comes first,
// and counts that first line's commas and vertical bars.
ScanCount ScanFirstLine(std::FILE* file);

// The changes Scan makes to the dialog. An empty optional leaves the button or the check boxes as they are.
struct ScanDecision {
    std::optional<bool> load3;         // 1006 "Load 3 col" enabled
    std::optional<bool> load4;         // 1010 "Load 4 col"
    std::optional<bool> load5;         // 1011 "Load 5 col"
    std::optional<bool> filelistLoad;  // 1015 Filelist "Load"
    std::optional<bool> filelistSave;  // 1016 Filelist "Save"
    std::optional<bool> save;          // 1019 "Save "
    std::optional<ColumnChoice> boxes; // final states of the six column check boxes
    bool invalidFormat = false;        // show "Invalid file text format"

    bool operator==(const ScanDecision&) const = default;
};

// One button's change, by control ID, for applying a decision in a loop.
struct ScanButtonChange {
    int controlId;
    std::optional<bool> enable;
};

// The final set-up for a first line with this count. A comma first gives the file-list set-up; the counter
// then applies its own set-up on top of it: 2, 3 and 4 pick the three-, four- and five-column loaders, 1
// changes nothing more, and 0 or 5 and more call the format invalid.
ScanDecision DecideScan(const ScanCount& count);

// The six button changes of a decision, in the order 1006, 1010, 1011, 1015, 1016, 1019.
std::array<ScanButtonChange, 6> ButtonChanges(const ScanDecision& decision);
