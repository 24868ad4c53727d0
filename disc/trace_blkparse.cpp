// The blkparse reader: the default output, "MAJ,MIN CPU SEQ TIME PID ACTION RWBS SECTOR + COUNT [PROCESS]"
// a line, then a summary. The reads are the issue events (D) of read requests; a trace without any gives
// the queue events (Q) instead.
#include <vector>

#include "disc/report_lines.h"
#include "disc/trace_formats.h"

namespace {

bool IsDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A read request: R among the RWBS letters, and no write (W) or discard (D).
bool IsRead(std::string_view rwbs) {
    return rwbs.find('R') != std::string_view::npos && rwbs.find('W') == std::string_view::npos &&
           rwbs.find('D') == std::string_view::npos;
}

} // namespace

bool IsBlkparseEventLine(std::string_view line) {
    const std::string_view device = NextWord(line);
    const std::size_t comma = device.find(',');
    return comma != std::string_view::npos && IsDigits(device.substr(0, comma)) &&
           IsDigits(device.substr(comma + 1)) && IsDigits(NextWord(line));
}

CResult<Trace> ReadBlkparseTrace(std::string_view text, std::uint64_t sectorSize) {
    Trace trace;
    trace.format = TraceFormat::Blkparse;
    std::optional<Failure> failure;
    std::vector<TraceRead> queued;
    bool summary = false;
    if (sectorSize == 0)
        return TraceError(0, "a sector size of 0");
    ForEachLine(text, [&](long long number, std::string_view line) {
        if (summary || line.find_first_not_of(" \t\r") == std::string_view::npos)
            return true;
        if (!IsBlkparseEventLine(line)) {
            // The summary starts with a "CPUn (MAJ,MIN):" or "Total (MAJ,MIN):" heading and runs to the end.
            const std::string_view heading = TrimBlanks(line);
            if ((heading.starts_with("CPU") || heading.starts_with("Total")) && heading.ends_with("):")) {
                summary = true;
                return true;
            }
            failure = TraceError(number, "not an event line of blkparse");
            return false;
        }
        std::string_view rest = line;
        for (int column = 0; column < 5; ++column)
            NextWord(rest); // device, cpu, sequence, time, pid
        const std::string_view action = NextWord(rest);
        const std::string_view rwbs = NextWord(rest);
        if ((action != "D" && action != "Q") || !IsRead(rwbs))
            return true;
        const std::string_view sectorWord = NextWord(rest);
        if (sectorWord.empty() || sectorWord.front() == '[')
            return true; // a request without sectors
        const std::string_view plus = NextWord(rest);
        const std::optional<std::uint64_t> sector = ParseTraceNumber(sectorWord);
        const std::optional<std::uint64_t> count = ParseTraceNumber(NextWord(rest));
        if (!sector || plus != "+" || !count) {
            failure = TraceError(number, "a read event without \"SECTOR + COUNT\"");
            return false;
        }
        const std::uint64_t limit = UINT64_MAX / sectorSize;
        if (*sector > limit || *count > limit - *sector) {
            failure = TraceError(number, "the read ends beyond the largest byte offset");
            return false;
        }
        if (*count == 0)
            return true;
        (action == "D" ? trace.reads : queued).push_back({*sector * sectorSize, *count * sectorSize});
        return true;
    });
    if (failure)
        return *std::move(failure);
    if (trace.reads.empty())
        trace.reads = std::move(queued);
    return trace;
}
