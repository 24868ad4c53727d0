#include "listing/scan_rules.h"

#include <climits>
#include <vector>

#include "res/resource.h"

namespace {

constexpr std::size_t kScanBlockSize = 64 * 1024;

} // namespace

ScanCount ScanFirstLine(std::FILE* file) {
    ScanCount count;
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        count.readFailed = true;
        return count;
    }
    std::vector<char> buffer(kScanBlockSize);
    for (;;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
        for (std::size_t i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (c == '\r' || c == '\n')
                return count;
            if (c == ',' || c == '|') {
                // Anything from 5 on is judged the same, so the counter may stop short of overflowing.
                if (count.counter < INT_MAX)
                    ++count.counter;
                if (c == ',')
                    count.comma = true;
            }
        }
        if (got < buffer.size()) {
            count.readFailed = std::ferror(file) != 0;
            return count;
        }
    }
}

ScanDecision DecideScan(const ScanCount& count) {
    ScanDecision decision;
    if (count.comma) {
        decision.load3 = false;
        decision.load4 = false;
        decision.load5 = false;
        decision.filelistLoad = true;
        decision.filelistSave = true;
        decision.save = false;
        decision.boxes = ColumnChoice{.startLba = true, .fileName = true};
    }
    switch (count.counter) {
    case 1:
        break;
    case 2:
        decision.load3 = true;
        decision.load4 = false;
        decision.load5 = false;
        decision.save = true;
        decision.boxes = ColumnChoice{.startLba = true, .fileSize = true, .fileName = true};
        break;
    case 3:
        decision.load3 = false;
        decision.load4 = true;
        decision.load5 = false;
        decision.save = true;
        decision.boxes = ColumnChoice{.startLba = true, .fileSize = true, .fileName = true, .lbaPos = true};
        break;
    case 4:
        decision.load3 = false;
        decision.load4 = false;
        decision.load5 = true;
        decision.save = true;
        decision.boxes = ColumnChoice{
            .startLba = true, .fileSize = true, .fileName = true, .lbaPos = true, .column6 = true};
        break;
    default: // 0, or 5 and more
        decision.invalidFormat = true;
        break;
    }
    return decision;
}

std::array<ScanButtonChange, 6> ButtonChanges(const ScanDecision& decision) {
    return {{
        {IDC_LOAD_3COL, decision.load3},
        {IDC_LOAD_4COL, decision.load4},
        {IDC_LOAD_5COL, decision.load5},
        {IDC_FILELIST_LOAD, decision.filelistLoad},
        {IDC_FILELIST_SAVE, decision.filelistSave},
        {IDC_SAVE, decision.save},
    }};
}
