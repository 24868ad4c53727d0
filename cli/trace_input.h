// The trace and the files of a listing that order, seek and plot share: the trace options, the trace
// read, and each listing line's blocks.
#pragma once

#include <vector>

#include <QCommandLineParser>

#include "cli/listing_input.h"
#include "disc/read_trace.h"
#include "disc/seek_figures.h"
#include "disc/trace_layout.h"

// --trace, --format, --image-path and --sector-size.
void AddTraceOptions(QCommandLineParser& parser);

// The reads of the --trace file; a failure for a bad option value or a line the format cannot read.
CResult<std::vector<TraceRead>> ReadTraceOption(const QCommandLineParser& parser);

// --seek-ms and --kib-per-s.
void AddDriveOptions(QCommandLineParser& parser);
CResult<DriveModel> DriveOptions(const QCommandLineParser& parser);

// A listing read with its lines and their files' blocks; a failure also for a file list (it holds no sizes).
struct TracedListing {
    ListingInput input;
    std::vector<ListingLine> lines;
    std::vector<TracedFile> files;
};
CResult<TracedListing> ReadTracedListing(const QString& path, const QCommandLineParser& parser);

// The new first block of each file of `old` found by name in `newer`; kNoNewStart for a file the new
// listing lacks. `missing` counts those.
std::vector<std::uint64_t> NewStarts(const TracedListing& old, const TracedListing& newer,
                                     std::size_t& missing);
