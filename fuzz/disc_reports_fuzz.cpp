// libFuzzer harness: the readers of the report_lba and isoinfo reports and the shell unquoting, on
// arbitrary text. Properties: a failed read names a line that exists; a word quoted the way xorriso quotes
// it unquotes to itself; the extents of a read report of single-extent files, written back, read back the
// same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "disc/isoinfo_report.h"
#include "disc/report_lba_report.h"
#include "disc/shell_word.h"

namespace {

std::string QuoteLikeXorriso(std::string_view word) {
    std::string quoted = "'";
    for (const char c : word)
        quoted += c == '\'' ? std::string("'\"'\"'") : std::string(1, c);
    return quoted + "'";
}

void CheckFailure(const CResult<std::vector<DiscExtent>>& result, std::string_view text) {
    if (result)
        return;
    const long long lines = std::count(text.begin(), text.end(), '\n') + 1;
    if (result.Error().line < 1 || result.Error().line > lines || result.Error().message.empty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const CResult<std::vector<DiscExtent>> report = ReadReportLba(text);
    CheckFailure(report, text);
    CheckFailure(ReadIsoinfoReport(text), text);

    // Any word without a line end survives quoting and unquoting.
    const std::string_view word = text.substr(0, text.find_first_of("\r\n"));
    const std::optional<std::string> back = UnquoteShellWord(QuoteLikeXorriso(word));
    if (!back || *back != word)
        std::abort();

    // Files of one extent each, written back as a report, read back the same.
    const std::vector<DiscExtent> extents = report ? *report : std::vector<DiscExtent>();
    std::set<std::string> paths;
    for (const DiscExtent& e : extents)
        paths.insert(e.path);
    if (report && paths.size() == extents.size()) {
        std::string again;
        for (const DiscExtent& e : extents)
            again += "File data lba: 0 , " + std::to_string(e.startLba) + " , " +
                     std::to_string((std::uint64_t{e.size} + 2047) / 2048) + " , " + std::to_string(e.size) +
                     " , " + QuoteLikeXorriso(e.path) + "\n";
        const CResult<std::vector<DiscExtent>> reread = ReadReportLba(again);
        if (!reread || *reread != extents)
            std::abort();
    }
    return 0;
}
