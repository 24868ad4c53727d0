#include "disc/isoinfo_report.h"

#include <limits>
#include <vector>

#include "disc/extent_listing.h"
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
    // MODE LINKS UID GID SIZE MON DAY YEAR before the bracket.
    const std::size_t open = line.find('[');
    if (open == std::string_view::npos)
        return RecordKind::Unreadable;
    const std::vector<std::string_view> head = SplitBlanks(line.substr(0, open));
    if (head.size() < 8 || head[0].size() != 10)
        return RecordKind::Unreadable;
    // "[ LBA FLAGS]  NAME ". The flags of an extent that is not a file's last are shown cut short, as
    // "FFFF" and one blank, with no bracket after them.
    std::string_view rest = line.substr(open + 1);
    const std::size_t lbaStart = rest.find_first_not_of(' ');
    const std::size_t lbaEnd = rest.find(' ', lbaStart);
    const std::size_t flagsEnd =
        lbaEnd == std::string_view::npos ? lbaEnd : rest.find_first_of(" ]", lbaEnd + 1);
    if (lbaStart == std::string_view::npos || flagsEnd == std::string_view::npos || flagsEnd == lbaEnd + 1)
        return RecordKind::Unreadable;
    const auto size = ParseDecimal(head[head.size() - 4], kMax32);
    const auto lba = ParseDecimal(rest.substr(lbaStart, lbaEnd - lbaStart), kMax32);
    const std::string_view flags = rest.substr(lbaEnd + 1, flagsEnd - lbaEnd - 1);
    if (!size || !lba || flags.find_first_not_of("0123456789ABCDEF") != std::string_view::npos)
        return RecordKind::Unreadable;
    std::string_view name;
    if (rest[flagsEnd] == ']') {
        if (rest.substr(flagsEnd + 1, 2) != "  ")
            return RecordKind::Unreadable;
        name = rest.substr(flagsEnd + 3);
    } else {
        name = rest.substr(flagsEnd + 1);
    }
    if (name.ends_with(' '))
        name.remove_suffix(1);
    if (head[0][0] != '-')
        return RecordKind::Other;
    if (name.empty())
        return RecordKind::Unreadable;
    if (head[0] == kPlainMode)
        name = WithoutVersion(name);
    extent = {static_cast<std::uint32_t>(*lba), static_cast<std::uint32_t>(*size),
              folder + std::string(name)};
    return RecordKind::File;
}

} // namespace

CResult<std::vector<DiscExtent>> ReadIsoinfoReport(std::string_view report) {
    std::vector<DiscExtent> extents;
    Failure failure;
    std::string folder;
    const bool read = ForEachLine(report, [&](long long number, std::string_view line) {
        if (TrimBlanks(line).empty())
            return true;
        if (line.starts_with(kHeaderPrefix)) {
            folder = line.substr(kHeaderPrefix.size());
            if (folder.empty() || folder.front() != '/' || folder.back() != '/') {
                failure = Failure("the folder of a directory listing must start and end with /", {}, number);
                return false;
            }
            return true;
        }
        DiscExtent extent;
        switch (folder.empty() ? RecordKind::Unreadable : ReadRecord(line, folder, extent)) {
        case RecordKind::File:
            extents.push_back(std::move(extent));
            return true;
        case RecordKind::Other:
            return true;
        case RecordKind::Unreadable:
            break;
        }
        failure = Failure(folder.empty() ? "a directory record before any \"Directory listing of\" header"
                                         : "not a directory record of isoinfo -l",
                          {}, number);
        return false;
    });
    if (!read)
        return failure;
    SortByBlock(extents);
    return extents;
}
