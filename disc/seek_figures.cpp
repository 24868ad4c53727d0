#include "disc/seek_figures.h"

SeekFigures MeasureSeeks(const std::vector<TraceRead>& reads, const DriveModel& drive) {
    SeekFigures figures;
    figures.reads = reads.size();
    // The travel is summed in bytes, which a 64-bit count holds for any trace a disc can give.
    unsigned __int128 travelBytes = 0;
    for (std::size_t i = 0; i < reads.size(); ++i) {
        figures.bytesRead += reads[i].length;
        if (i == 0)
            continue;
        const std::uint64_t from = reads[i - 1].End(), to = reads[i].offset;
        if (from != to) {
            ++figures.seeks;
            travelBytes += from > to ? from - to : to - from;
        }
    }
    figures.travelBlocks = static_cast<std::uint64_t>((travelBytes + kTraceBlockSize / 2) / kTraceBlockSize);
    figures.estimatedSeconds = static_cast<double>(figures.seeks) * drive.seekMs / 1000.0 +
                               static_cast<double>(figures.bytesRead) / (drive.kibPerS * 1024.0);
    return figures;
}

double SavedShare(const SeekFigures& before, const SeekFigures& after) {
    if (before.estimatedSeconds <= 0)
        return 0;
    return 1.0 - after.estimatedSeconds / before.estimatedSeconds;
}

std::vector<TraceRead> ReplayReads(const std::vector<TracedFile>& files,
                                   const std::vector<std::uint64_t>& newStartLba,
                                   const std::vector<TraceRead>& reads) {
    const CTraceLayout layout(files);
    std::vector<TraceRead> replayed;
    replayed.reserve(reads.size());
    for (const TraceRead& read : reads) {
        bool first = true;
        layout.ForEachPiece(read, [&](std::uint64_t offset, std::uint64_t length, std::uint32_t file) {
            if (file != CTraceLayout::kNoFile && newStartLba[file] != kNoNewStart &&
                newStartLba[file] < UINT64_MAX / kTraceBlockSize) {
                const std::uint64_t within = offset - files[file].startLba * kTraceBlockSize;
                offset = newStartLba[file] * kTraceBlockSize + within;
                if (offset < within || offset > UINT64_MAX - length)
                    offset = UINT64_MAX - length; // beyond the last offset: kept at the end
            }
            if (!first && replayed.back().End() == offset)
                replayed.back().length += length;
            else
                replayed.push_back({offset, length});
            first = false;
        });
    }
    return replayed;
}
