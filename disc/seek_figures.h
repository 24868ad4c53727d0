// What a trace costs a drive: its seeks, the head's travel and an estimated time, and the same trace
// replayed on a new layout of the files.
#pragma once

#include <cstdint>
#include <vector>

#include "disc/read_trace.h"
#include "disc/trace_layout.h"

struct SeekFigures {
    std::uint64_t reads = 0;
    std::uint64_t seeks = 0;        // reads after the first that do not start where the previous one ended
    std::uint64_t travelBlocks = 0; // the distances to those starts, summed, in blocks (rounded)
    std::uint64_t bytesRead = 0;
    double estimatedSeconds = 0; // seeks at seekMs each, plus the bytes at kibPerS
};

struct DriveModel {
    double seekMs = 100; // a 1x DVD drive
    double kibPerS = 1385;
};

SeekFigures MeasureSeeks(const std::vector<TraceRead>& reads, const DriveModel& drive);

// The share of the estimated time the new figures save: 1 - after / before, 0 when before takes none.
double SavedShare(const SeekFigures& before, const SeekFigures& after);

// The reads replayed on a new layout: each byte of a file is read at the same offset within the file,
// from the file's new first block (newStartLba, by listing index; kNoNewStart keeps a file in place).
// Bytes outside every file keep their place. A read the new layout parts becomes one read per piece;
// pieces that stay next to each other remain one read.
constexpr std::uint64_t kNoNewStart = UINT64_MAX;
std::vector<TraceRead> ReplayReads(const std::vector<TracedFile>& files,
                                   const std::vector<std::uint64_t>& newStartLba,
                                   const std::vector<TraceRead>& reads);
