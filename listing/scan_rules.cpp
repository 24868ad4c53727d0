#include "listing/scan_rules.h"

#include <climits>
#include <vector>

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
        decision.threeColumns = false;
        decision.fourColumns = false;
        decision.fiveColumns = false;
        decision.fileList = true;
        decision.columns = ColumnChoice{.startLba = true, .fileName = true};
    }
    switch (count.counter) {
    case 1:
        break;
    case 2:
        decision.threeColumns = true;
        decision.fourColumns = false;
        decision.fiveColumns = false;
        decision.columns = ColumnChoice{.startLba = true, .fileSize = true, .fileName = true};
        break;
    case 3:
        decision.threeColumns = false;
        decision.fourColumns = true;
        decision.fiveColumns = false;
        decision.columns = ColumnChoice{.startLba = true, .fileSize = true, .fileName = true, .lbaPos = true};
        break;
    case 4:
        decision.threeColumns = false;
        decision.fourColumns = false;
        decision.fiveColumns = true;
        decision.columns = ColumnChoice{
            .startLba = true, .fileSize = true, .fileName = true, .lbaPos = true, .column6 = true};
        break;
    default: // 0, or 5 and more
        decision.invalidFormat = true;
        break;
    }
    return decision;
}

std::optional<bool> LoadableAs(const ScanDecision& decision, ListingLayout layout) {
    switch (layout) {
    case ListingLayout::ThreeColumns:
        return decision.threeColumns;
    case ListingLayout::FourColumns:
        return decision.fourColumns;
    case ListingLayout::FiveColumns:
        return decision.fiveColumns;
    case ListingLayout::FileList:
        return decision.fileList;
    }
    return std::nullopt;
}

std::optional<ListingLayout> LayoutToLoad(const ScanDecision& decision) {
    if (decision.invalidFormat)
        return std::nullopt;
    for (ListingLayout layout : {ListingLayout::ThreeColumns, ListingLayout::FourColumns,
                                 ListingLayout::FiveColumns, ListingLayout::FileList}) {
        if (LoadableAs(decision, layout).value_or(false))
            return layout;
    }
    return std::nullopt;
}
