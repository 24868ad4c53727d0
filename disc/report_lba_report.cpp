#include "disc/report_lba_report.h"

#include <array>
#include <limits>

#include "disc/report_lines.h"
#include "disc/shell_word.h"

namespace {

constexpr std::string_view kExtentPrefix = "File data lba:";
constexpr std::string_view kHeaderPrefix = "Report layout:";
constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();

// The extent of one line, or the reason it cannot be read.
std::optional<DiscExtent> ReadExtentLine(std::string_view line, std::string& reason) {
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
    const auto size = ParseDecimal(numbers[3], kMax32);
    if (!extentNumber || !start || !blocks || !size) {
        reason = "the extent number, start block, block count and size must be decimal numbers below 2^32";
        return std::nullopt;
    }
    std::optional<std::string> path = UnquoteShellWord(line);
    if (!path || path->empty() || path->front() != '/') {
        reason = "the path must be one quoted word starting with /";
        return std::nullopt;
    }
    return DiscExtent{static_cast<std::uint32_t>(*start), static_cast<std::uint32_t>(*size), std::move(*path)};
}

}  // namespace

DiscReportResult ReadReportLba(std::string_view report) {
    DiscReportResult result;
    result.ok = ForEachLine(report, [&](long long number, std::string_view line) {
        if (TrimBlanks(line).empty() || line.starts_with(kHeaderPrefix))
            return true;
        std::string reason = "not a line of the report_lba report";
        std::optional<DiscExtent> extent;
        if (line.starts_with(kExtentPrefix))
            extent = ReadExtentLine(line, reason);
        if (!extent) {
            result.errorLine = number;
            result.error = reason;
            return false;
        }
        result.extents.push_back(std::move(*extent));
        return true;
    });
    if (!result.ok)
        result.extents.clear();
    SortByBlock(result.extents);
    return result;
}
