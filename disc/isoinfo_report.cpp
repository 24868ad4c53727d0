#include "disc/isoinfo_report.h"

#include <limits>
#include <vector>

#include "disc/report_lines.h"

namespace {

constexpr std::string_view kHeaderPrefix = "Directory listing of ";
constexpr std::string_view kPlainMode = "----------";
constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();

std::vector<std::string_view> SplitBlanks(std::string_view text) {
    std::vector<std::string_view> words;
    for (;;) {
        text = TrimBlanks(text);
        if (text.empty())
            return words;
        const std::size_t end = text.find_first_of(" \t");
        words.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end);
    }
}

// "NAME;1" and "NAME.;1" as ISO 9660 records hold them, without the version.
std::string_view WithoutVersion(std::string_view name) {
    const std::size_t semicolon = name.rfind(';');
    if (semicolon == std::string_view::npos || semicolon + 1 == name.size() ||
        name.find_first_not_of("0123456789", semicolon + 1) != std::string_view::npos)
        return name;
    name = name.substr(0, semicolon);
    if (name.size() > 1 && name.back() == '.')
        name.remove_suffix(1);
    return name;
}

enum class RecordKind { File, Other, Unreadable };

RecordKind ReadRecord(std::string_view line, const std::string& folder, DiscExtent& extent) {
    const std::size_t open = line.find('[');
    const std::size_t close = line.find(']', open == std::string_view::npos ? 0 : open);
    if (open == std::string_view::npos || close == std::string_view::npos)
        return RecordKind::Unreadable;
    // MODE LINKS UID GID SIZE MON DAY YEAR before the bracket, "LBA FLAGS" in it.
    const std::vector<std::string_view> head = SplitBlanks(line.substr(0, open));
    const std::vector<std::string_view> inside = SplitBlanks(line.substr(open + 1, close - open - 1));
    if (head.size() < 8 || head[0].size() != 10 || inside.size() != 2)
        return RecordKind::Unreadable;
    const auto size = ParseDecimal(head[head.size() - 4], kMax32);
    const auto lba = ParseDecimal(inside[0], kMax32);
    if (!size || !lba)
        return RecordKind::Unreadable;
    // The name follows the bracket after two blanks and is followed by one.
    std::string_view name = line.substr(close + 1);
    if (!name.starts_with("  "))
        return RecordKind::Unreadable;
    name.remove_prefix(2);
    if (name.ends_with(' '))
        name.remove_suffix(1);
    if (head[0][0] != '-')
        return RecordKind::Other;
    if (name.empty())
        return RecordKind::Unreadable;
    if (head[0] == kPlainMode)
        name = WithoutVersion(name);
    extent = {static_cast<std::uint32_t>(*lba), static_cast<std::uint32_t>(*size), folder + std::string(name)};
    return RecordKind::File;
}

}  // namespace

DiscReportResult ReadIsoinfoReport(std::string_view report) {
    DiscReportResult result;
    std::string folder;
    result.ok = ForEachLine(report, [&](long long number, std::string_view line) {
        if (TrimBlanks(line).empty())
            return true;
        if (line.starts_with(kHeaderPrefix)) {
            folder = line.substr(kHeaderPrefix.size());
            if (folder.empty() || folder.front() != '/' || folder.back() != '/') {
                result.errorLine = number;
                result.error = "the folder of a directory listing must start and end with /";
                return false;
            }
            return true;
        }
        DiscExtent extent;
        switch (folder.empty() ? RecordKind::Unreadable : ReadRecord(line, folder, extent)) {
        case RecordKind::File:
            result.extents.push_back(std::move(extent));
            return true;
        case RecordKind::Other:
            return true;
        case RecordKind::Unreadable:
            break;
        }
        result.errorLine = number;
        result.error = folder.empty() ? "a directory record before any \"Directory listing of\" header"
                                      : "not a directory record of isoinfo -l";
        return false;
    });
    if (!result.ok)
        result.extents.clear();
    SortByBlock(result.extents);
    return result;
}
