// Read traces: the reads made from a disc image, in time order, as three kinds of log give them. A block
// list ("BLOCK [COUNT]" a line), the log of strace watching a program that reads the image file, and the
// default output of blkparse.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "listing/failure.h"

// The size of a block of the image, the unit of a block list and of the listings.
constexpr std::uint64_t kTraceBlockSize = 2048;

enum class TraceFormat { Lba, Strace, Blkparse };

// One read of the image: `length` bytes from byte `offset`.
struct TraceRead {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;

    std::uint64_t End() const { return offset + length; }
    bool operator==(const TraceRead&) const = default;
};

struct TraceOptions {
    std::optional<TraceFormat> format; // none: told from the content
    std::string imagePath;             // strace: the path the image was opened by; empty: the path read most
    std::uint64_t sectorSize = 512;    // blkparse: the size of a sector
};

// The reads of a trace, in time order, and the format they were read in.
struct Trace {
    TraceFormat format = TraceFormat::Lba;
    std::vector<TraceRead> reads;
};

// "lba", "strace" or "blkparse".
std::optional<TraceFormat> TraceFormatNamed(std::string_view name);
const char* TraceFormatName(TraceFormat format);

// The format of the first line that only one format reads; a text of blank and comment lines is a block
// list. None when the text starts with a line no format reads.
std::optional<TraceFormat> GuessTraceFormat(std::string_view text);

// Reads every read of the trace. A line the format cannot read fails the whole read, named by its number
// (the failure's line; 0 when the failure is not one line's); what a format holds beside reads (other
// calls and files, other events, summaries) is passed over.
CResult<Trace> ReadTrace(std::string_view text, const TraceOptions& options);
