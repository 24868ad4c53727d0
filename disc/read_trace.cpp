#include "disc/read_trace.h"

#include "disc/report_lines.h"
#include "disc/trace_formats.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The line without a "#" comment and blanks around it.
std::string_view WithoutComment(std::string_view line) {
    const std::size_t hash = line.find('#');
    if (hash != std::string_view::npos)
        line = line.substr(0, hash);
    while (!line.empty() && IsBlank(line.back()))
        line.remove_suffix(1);
    while (!line.empty() && IsBlank(line.front()))
        line.remove_prefix(1);
    return line;
}

} // namespace

Failure TraceError(long long line, std::string reason) {
    return Failure{std::move(reason), {}, line};
}

std::string_view NextWord(std::string_view& text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsBlank(text[begin]))
        ++begin;
    std::size_t end = begin;
    while (end < text.size() && !IsBlank(text[end]))
        ++end;
    const std::string_view word = text.substr(begin, end - begin);
    text.remove_prefix(end);
    return word;
}

std::optional<std::uint64_t> ParseTraceNumber(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        if (text.size() > 16)
            return std::nullopt;
        for (const char c : text) {
            std::uint64_t digit;
            if (c >= '0' && c <= '9')
                digit = static_cast<std::uint64_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                digit = static_cast<std::uint64_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                digit = static_cast<std::uint64_t>(c - 'A' + 10);
            else
                return std::nullopt;
            value = value << 4 | digit;
        }
        return value;
    }
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<TraceFormat> TraceFormatNamed(std::string_view name) {
    if (name == "lba")
        return TraceFormat::Lba;
    if (name == "strace")
        return TraceFormat::Strace;
    if (name == "blkparse")
        return TraceFormat::Blkparse;
    return std::nullopt;
}

const char* TraceFormatName(TraceFormat format) {
    switch (format) {
    case TraceFormat::Lba:
        return "lba";
    case TraceFormat::Strace:
        return "strace";
    case TraceFormat::Blkparse:
        return "blkparse";
    }
    return "lba";
}

bool IsLbaTraceLine(std::string_view line) {
    line = WithoutComment(line);
    const std::string_view block = NextWord(line);
    const std::string_view count = NextWord(line);
    return ParseTraceNumber(block) && (count.empty() || ParseTraceNumber(count)) && NextWord(line).empty();
}

std::optional<TraceFormat> GuessTraceFormat(std::string_view text) {
    std::optional<TraceFormat> format;
    bool decided = false;
    ForEachLine(text, [&](long long, std::string_view line) {
        if (line.find_first_not_of(" \t\r") == std::string_view::npos)
            return true;
        // A line of "# ..." alone is a comment, which only a block list has.
        if (IsBlkparseEventLine(line))
            format = TraceFormat::Blkparse;
        else if (IsLbaTraceLine(line) || WithoutComment(line).empty())
            format = TraceFormat::Lba;
        else if (IsStraceLine(line))
            format = TraceFormat::Strace;
        decided = true;
        return false;
    });
    if (!decided)
        return TraceFormat::Lba;
    return format;
}

CResult<Trace> ReadLbaTrace(std::string_view text) {
    Trace trace;
    trace.format = TraceFormat::Lba;
    std::optional<Failure> failure;
    trace.reads.reserve(text.size() / 12);
    ForEachLine(text, [&](long long number, std::string_view line) {
        line = WithoutComment(line);
        if (line.empty())
            return true;
        const std::string_view blockWord = NextWord(line);
        const std::string_view countWord = NextWord(line);
        const std::optional<std::uint64_t> block = ParseTraceNumber(blockWord);
        const std::optional<std::uint64_t> count = countWord.empty() ? 1 : ParseTraceNumber(countWord);
        if (!block || !count || !NextWord(line).empty()) {
            failure = TraceError(number, "not a line \"BLOCK [COUNT]\"");
            return false;
        }
        if (*count == 0) {
            failure = TraceError(number, "a read of 0 blocks");
            return false;
        }
        constexpr std::uint64_t kMaxBlocks = UINT64_MAX / kTraceBlockSize;
        if (*block > kMaxBlocks || *count > kMaxBlocks - *block) {
            failure = TraceError(number, "the read ends beyond the largest byte offset");
            return false;
        }
        trace.reads.push_back({*block * kTraceBlockSize, *count * kTraceBlockSize});
        return true;
    });
    if (failure)
        return *std::move(failure);
    return trace;
}

CResult<Trace> ReadTrace(std::string_view text, const TraceOptions& options) {
    std::optional<TraceFormat> format = options.format;
    if (!format)
        format = GuessTraceFormat(text);
    if (!format)
        return TraceError(0, "the format of the trace cannot be told from its first line (give --format)");
    switch (*format) {
    case TraceFormat::Strace:
        return ReadStraceTrace(text, options.imagePath);
    case TraceFormat::Blkparse:
        return ReadBlkparseTrace(text, options.sectorSize);
    case TraceFormat::Lba:
        break;
    }
    return ReadLbaTrace(text);
}
