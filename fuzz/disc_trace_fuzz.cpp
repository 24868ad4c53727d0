// libFuzzer harness: the trace readers on arbitrary text, and the order and seek operations on what they
// read. Properties: a failed read names a line that exists and gives no reads; a block list read back
// from its reads is the same; the first-read order holds every file once; a replay on the same layout
// gives the reads unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "disc/read_order.h"
#include "disc/read_trace.h"
#include "disc/seek_figures.h"

namespace {

void CheckResult(const CResult<Trace>& result, std::string_view text) {
    if (!result) {
        const long long lines = std::count(text.begin(), text.end(), '\n') + 1;
        if (result.Error().line < 0 || result.Error().line > lines || result.Error().message.empty())
            std::abort();
        return;
    }
    for (const TraceRead& read : result->reads) {
        if (read.length == 0 || read.offset > UINT64_MAX - read.length)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    TraceOptions options;
    const CResult<Trace> guessed = ReadTrace(text, options);
    CheckResult(guessed, text);
    for (const TraceFormat format : {TraceFormat::Lba, TraceFormat::Strace, TraceFormat::Blkparse}) {
        options.format = format;
        CheckResult(ReadTrace(text, options), text);
    }
    options.format = TraceFormat::Strace;
    options.imagePath = "image.iso";
    CheckResult(ReadTrace(text, options), text);

    options.format = TraceFormat::Lba;
    options.imagePath.clear();
    const CResult<Trace> blocks = ReadTrace(text, options);
    if (blocks) {
        std::string again;
        for (const TraceRead& read : blocks->reads)
            again += std::to_string(read.offset / kTraceBlockSize) + " " +
                     std::to_string(read.length / kTraceBlockSize) + "\n";
        const CResult<Trace> reread = ReadTrace(again, options);
        if (!reread || reread->reads != blocks->reads)
            std::abort();
    }

    // Files made of the first reads' blocks, some of them sharing blocks.
    const std::vector<TraceRead> reads = guessed ? guessed->reads : std::vector<TraceRead>();
    std::vector<TracedFile> files;
    std::vector<std::uint64_t> starts;
    for (std::size_t i = 0; i < reads.size() && i < 16; ++i) {
        files.push_back({reads[i].offset / kTraceBlockSize % 100000, reads[i].length % 50000});
        starts.push_back(files.back().startLba);
    }
    const ReadOrder order = FirstReadOrder(files, reads, size % 2 == 0);
    std::vector<std::uint32_t> sorted = order.order;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (sorted[i] != i)
            std::abort();
    }
    if (sorted.size() != files.size() || order.filesRead > files.size())
        std::abort();
    const SeekFigures figures = MeasureSeeks(reads, DriveModel{});
    if (figures.reads != reads.size() || (reads.size() > 0 && figures.seeks >= reads.size()))
        std::abort();
    if (ReplayReads(files, starts, reads) != reads)
        std::abort();
    return 0;
}
