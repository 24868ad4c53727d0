#include "disc/report_lba_report.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_map>

#include "disc/extent_listing.h"
#include "disc/report_lines.h"
#include "disc/shell_word.h"

namespace {

constexpr std::string_view kExtentPrefix = "File data lba:";
constexpr std::string_view kHeaderPrefix = "Report layout:";
constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint64_t kBlockSize = 2048;

constexpr std::uint64_t kMax64 = std::numeric_limits<std::uint64_t>::max() / 10;

// One line's fields. The size is that of the whole file, on every line of a file of several extents.
struct ExtentLine {
    std::uint32_t start = 0;
    std::uint64_t blocks = 0;
    std::uint64_t fileSize = 0;
    std::string path;
};

// The fields of one line, or the reason it cannot be read.
std::optional<ExtentLine> ReadExtentLine(std::string_view line, std::string& reason) {
    line.remove_prefix(kExtentPrefix.size());
    // Four numbers, each ended by a comma; the path is everything after the fourth.
    std::array<std::string_view, 4> numbers;
    for (std::string_view& number : numbers) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos) {
            reason = "expected four numbers and a path separated by commas";
            return std::nullopt;
        }
        number = line.substr(0, comma);
        line.remove_prefix(comma + 1);
    }
    const auto extentNumber = ParseDecimal(numbers[0], kMax32);
    const auto start = ParseDecimal(numbers[1], kMax32);
    const auto blocks = ParseDecimal(numbers[2], kMax32);
    const auto size = ParseDecimal(numbers[3], kMax64);
    if (!extentNumber || !start || !blocks || !size) {
        reason =
            "the extent number, start block and block count must be decimal numbers below 2^32, the size "
            "a decimal number";
        return std::nullopt;
    }
    std::optional<std::string> path = UnquoteShellWord(line);
    if (!path || path->empty() || path->front() != '/') {
        reason = "the path must be one quoted word starting with /";
        return std::nullopt;
    }
    return ExtentLine{static_cast<std::uint32_t>(*start), *blocks, *size, std::move(*path)};
}

} // namespace

CResult<std::vector<DiscExtent>> ReadReportLba(std::string_view report) {
    std::vector<DiscExtent> extents;
    Failure failure;
    std::unordered_map<std::string, std::uint64_t> sizeBefore; // bytes in the earlier extents of each path
    const bool read = ForEachLine(report, [&](long long number, std::string_view line) {
        if (TrimBlanks(line).empty() || line.starts_with(kHeaderPrefix))
            return true;
        std::string reason = "not a line of the report_lba report";
        std::optional<ExtentLine> extent;
        if (line.starts_with(kExtentPrefix))
            extent = ReadExtentLine(line, reason);
        // An extent holds its blocks' worth of the file, the last one what is left of it.
        std::uint64_t& before = extent ? sizeBefore[extent->path] : sizeBefore[std::string()];
        const std::uint64_t left = extent && extent->fileSize >= before ? extent->fileSize - before : 0;
        const std::uint64_t size = extent ? std::min(extent->blocks * kBlockSize, left) : 0;
        if (extent && size > kMax32)
            reason = "an extent cannot hold more than 2^32 - 1 bytes";
        if (!extent || size > kMax32) {
            failure = Failure(std::move(reason), {}, number);
            return false;
        }
        before += size;
        extents.push_back({extent->start, static_cast<std::uint32_t>(size), std::move(extent->path)});
        return true;
    });
    if (!read)
        return failure;
    SortByBlock(extents);
    return extents;
}
