// The readers of each trace format, behind ReadTrace, and the small text helpers they share.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "disc/read_trace.h"

CResult<Trace> ReadLbaTrace(std::string_view text);
CResult<Trace> ReadStraceTrace(std::string_view text, std::string_view imagePath);
CResult<Trace> ReadBlkparseTrace(std::string_view text, std::uint64_t sectorSize);

// True when the line is a read event or another event line of blkparse ("MAJ,MIN CPU SEQ ...").
bool IsBlkparseEventLine(std::string_view line);
// True when the line is a block list line ("BLOCK [COUNT]", a comment allowed after it).
bool IsLbaTraceLine(std::string_view line);
// True when the line is a call, a resumed call or a notice of an strace log.
bool IsStraceLine(std::string_view line);

// A failure naming the line.
Failure TraceError(long long line, std::string reason);

// Splits off the next word (blank-separated) of `text`; empty when none is left.
std::string_view NextWord(std::string_view& text);

// A whole decimal number, or hexadecimal with 0x, without overflow; none for anything else.
std::optional<std::uint64_t> ParseTraceNumber(std::string_view text);
