// The strace log reader: `strace -e trace=openat,lseek,read,pread64 -o LOG PROGRAM`, with or without -f,
// -y and time stamps. The position of each descriptor is followed through lseek and read, as the kernel
// keeps it; a descriptor opened again is another file from then on.
#include <array>
#include <cctype>
#include <string>
#include <unordered_map>
#include <vector>

#include "disc/report_lines.h"
#include "disc/trace_formats.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

struct StraceLine {
    std::uint64_t pid = 0;
    std::string_view body; // the call or notice, after the pid and time stamp columns
};

// Strips "[pid N] ", a pid column (strace -f -o) and time stamp columns (-t, -tt, -ttt, -r).
StraceLine SplitPrefix(std::string_view line) {
    StraceLine out;
    std::string_view rest = SkipBlanks(line);
    if (rest.starts_with("[pid ")) {
        const std::size_t close = rest.find(']');
        if (close != std::string_view::npos) {
            out.pid = ParseTraceNumber(SkipBlanks(rest.substr(5, close - 5))).value_or(0);
            rest = SkipBlanks(rest.substr(close + 1));
        }
    }
    for (int column = 0; column < 3; ++column) {
        std::size_t end = 0;
        bool digitsOnly = true;
        while (end < rest.size() &&
               ((rest[end] >= '0' && rest[end] <= '9') || rest[end] == ':' || rest[end] == '.')) {
            digitsOnly = digitsOnly && rest[end] >= '0' && rest[end] <= '9';
            ++end;
        }
        if (end == 0 || end == rest.size() || !IsBlank(rest[end]))
            break;
        if (column == 0 && digitsOnly)
            out.pid = ParseTraceNumber(rest.substr(0, end)).value_or(0);
        rest = SkipBlanks(rest.substr(end));
    }
    out.body = rest;
    return out;
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The length of a call's name when the body starts with "NAME(", else 0.
std::size_t CallNameLength(std::string_view body) {
    std::size_t n = 0;
    while (n < body.size() && IsNameChar(body[n]))
        ++n;
    return n > 0 && n < body.size() && body[n] == '(' ? n : 0;
}

constexpr std::string_view kUnfinished = "<unfinished ...>";
constexpr std::string_view kResumedStart = "<... ";
constexpr std::string_view kResumedEnd = " resumed>";

struct StraceCall {
    std::string_view name;
    std::array<std::string_view, 6> args{};
    std::size_t argCount = 0;
    std::string_view result; // the word after "= "; empty when the line has none
};

// Splits "NAME(ARG, ARG, ...) = RESULT". Quoted strings and bracketed values may hold commas and
// parentheses. False when the call is cut short.
bool SplitCall(std::string_view body, StraceCall& call) {
    const std::size_t nameLength = CallNameLength(body);
    if (nameLength == 0)
        return false;
    call.name = body.substr(0, nameLength);
    std::size_t i = nameLength + 1;
    std::size_t argBegin = i;
    int depth = 0;
    const auto addArg = [&](std::size_t end) {
        std::string_view arg = body.substr(argBegin, end - argBegin);
        arg = TrimBlanks(arg);
        if (call.argCount < call.args.size())
            call.args[call.argCount] = arg;
        ++call.argCount;
    };
    for (; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '"') {
            for (++i; i < body.size() && body[i] != '"'; ++i) {
                if (body[i] == '\\')
                    ++i;
            }
            if (i >= body.size())
                return false;
        } else if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if (c == ')' || c == ']' || c == '}') {
            if (depth == 0) {
                if (c != ')')
                    return false;
                if (i > argBegin || call.argCount > 0)
                    addArg(i);
                break;
            }
            --depth;
        } else if (c == ',' && depth == 0) {
            addArg(i);
            argBegin = i + 1;
        }
    }
    if (i >= body.size())
        return false;
    std::string_view rest = SkipBlanks(body.substr(i + 1));
    if (rest.empty() || rest.front() != '=')
        return false;
    rest.remove_prefix(1);
    call.result = NextWord(rest);
    return !call.result.empty();
}

// The number at the start of a descriptor or result ("3", "3</path>", "-1"); none for "?" or a failure.
std::optional<std::uint64_t> LeadingNumber(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    if (end == 0)
        return std::nullopt;
    return ParseTraceNumber(text.substr(0, end));
}

// The bytes of a quoted C-style string as strace writes it; none when it is not one.
std::optional<std::string> Unquote(std::string_view text) {
    if (text.size() < 2 || text.front() != '"')
        return std::nullopt;
    std::string out;
    std::size_t i = 1;
    for (; i < text.size() && text[i] != '"'; ++i) {
        char c = text[i];
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (++i >= text.size())
            return std::nullopt;
        c = text[i];
        switch (c) {
        case 'n':
            out.push_back('\n');
            break;
        case 't':
            out.push_back('\t');
            break;
        case 'r':
            out.push_back('\r');
            break;
        case 'v':
            out.push_back('\v');
            break;
        case 'f':
            out.push_back('\f');
            break;
        case 'x': {
            int value = 0, digits = 0;
            while (digits < 2 && i + 1 < text.size() &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
                const char h = text[++i];
                value = value * 16 + (h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
                ++digits;
            }
            out.push_back(static_cast<char>(value));
            break;
        }
        default:
            if (c >= '0' && c <= '7') {
                int value = c - '0', digits = 1;
                while (digits < 3 && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7') {
                    value = value * 8 + (text[++i] - '0');
                    ++digits;
                }
                out.push_back(static_cast<char>(value));
            } else {
                out.push_back(c);
            }
        }
    }
    if (i >= text.size())
        return std::nullopt;
    return out;
}

// True when the path the trace shows names the image the user gave: the same text, or one of them the
// other with folders in front.
bool SamePath(std::string_view traced, std::string_view given) {
    if (traced == given)
        return true;
    const auto endsWithPart = [](std::string_view whole, std::string_view part) {
        return whole.size() > part.size() && whole.ends_with(part) &&
               whole[whole.size() - part.size() - 1] == '/';
    };
    return endsWithPart(traced, given) || endsWithPart(given, traced);
}

class CStraceReader {
public:
    CResult<Trace> Read(std::string_view text, std::string_view imagePath);

private:
    struct Descriptor {
        std::uint32_t path = 0;
        std::uint64_t position = 0;
    };

    // Handles one whole call; false with m_error set when a call that matters cannot be read.
    bool HandleCall(std::string_view body);
    bool HandleOpen(const StraceCall& call);
    void AddRead(std::uint32_t path, std::uint64_t offset, std::uint64_t length);

    std::unordered_map<std::uint64_t, Descriptor> m_descriptors;
    std::unordered_map<std::string, std::uint32_t> m_pathIds;
    std::vector<std::string> m_paths;
    std::vector<std::uint64_t> m_bytesRead; // by path
    std::vector<std::uint32_t> m_readPaths; // by read
    std::vector<TraceRead> m_reads;
    std::unordered_map<std::uint64_t, std::string> m_pending; // unfinished calls by pid
    std::string m_error;
};

void CStraceReader::AddRead(std::uint32_t path, std::uint64_t offset, std::uint64_t length) {
    if (length == 0 || offset > UINT64_MAX - length)
        return;
    m_reads.push_back({offset, length});
    m_readPaths.push_back(path);
    m_bytesRead[path] += length;
}

bool CStraceReader::HandleOpen(const StraceCall& call) {
    const bool at = call.name == "openat";
    const std::size_t pathArg = at ? 1 : 0;
    if (call.argCount < pathArg + 2) {
        m_error = "an open call without its path and flags";
        return false;
    }
    if (call.result.front() == '-' || call.result.front() == '?')
        return true; // the open failed
    const std::optional<std::uint64_t> fd = LeadingNumber(call.result);
    const std::optional<std::string> path = Unquote(call.args[pathArg]);
    if (!fd || !path) {
        m_error = "an open call whose path or descriptor cannot be read";
        return false;
    }
    // A file opened for writing only is never the image read.
    std::string key =
        call.args[pathArg + 1].find("O_WRONLY") != std::string_view::npos ? std::string() : *path;
    const auto [it, added] =
        m_pathIds.try_emplace(std::move(key), static_cast<std::uint32_t>(m_paths.size()));
    if (added) {
        m_paths.push_back(it->first);
        m_bytesRead.push_back(0);
    }
    m_descriptors[*fd] = {it->second, 0};
    return true;
}

bool CStraceReader::HandleCall(std::string_view body) {
    const std::size_t nameLength = CallNameLength(body);
    const std::string_view name = body.substr(0, nameLength);
    const bool open = name == "openat" || name == "open";
    const bool read = name == "read" || name == "pread64";
    const bool seek = name == "lseek" || name == "_llseek";
    if (!open && !read && !seek)
        return true;
    StraceCall call;
    if (!SplitCall(body, call)) {
        m_error = "a " + std::string(name) + " call cut short";
        return false;
    }
    if (open)
        return HandleOpen(call);
    const std::optional<std::uint64_t> fd = call.argCount > 0 ? LeadingNumber(call.args[0]) : std::nullopt;
    if (!fd) {
        m_error = "a " + std::string(name) + " call without a descriptor";
        return false;
    }
    const auto it = m_descriptors.find(*fd);
    if (call.result.front() == '-' || call.result.front() == '?')
        return true; // failed, or the process ended inside the call
    const std::optional<std::uint64_t> result = LeadingNumber(call.result);
    if (!result) {
        m_error = "a " + std::string(name) + " call whose result cannot be read";
        return false;
    }
    if (name == "read") {
        if (call.argCount != 3) {
            m_error = "a read call without three arguments";
            return false;
        }
        if (it != m_descriptors.end()) {
            AddRead(it->second.path, it->second.position, *result);
            it->second.position += *result;
        }
        return true;
    }
    if (name == "pread64") {
        const std::optional<std::uint64_t> offset =
            call.argCount == 4 ? ParseTraceNumber(call.args[3]) : std::nullopt;
        if (!offset) {
            m_error = "a pread64 call without its offset";
            return false;
        }
        if (it != m_descriptors.end())
            AddRead(it->second.path, *offset, *result);
        return true;
    }
    if (name == "lseek") {
        if (it != m_descriptors.end())
            it->second.position = *result;
        return true;
    }
    // _llseek(fd, high, [position], whence) = 0
    if (call.argCount != 4 || call.args[2].size() < 3 || call.args[2].front() != '[') {
        m_error = "an _llseek call without its position";
        return false;
    }
    const std::optional<std::uint64_t> position =
        ParseTraceNumber(call.args[2].substr(1, call.args[2].size() - 2));
    if (!position) {
        m_error = "an _llseek call without its position";
        return false;
    }
    if (it != m_descriptors.end())
        it->second.position = *position;
    return true;
}

CResult<Trace> CStraceReader::Read(std::string_view text, std::string_view imagePath) {
    long long errorLine = 0;
    std::string joined;
    ForEachLine(text, [&](long long number, std::string_view line) {
        if (line.find_first_not_of(" \t\r") == std::string_view::npos)
            return true;
        const StraceLine parts = SplitPrefix(line);
        std::string_view body = parts.body;
        if (body.starts_with("+++") || body.starts_with("---") || body.starts_with("strace: "))
            return true;
        if (body.starts_with(kResumedStart)) {
            const std::size_t end = body.find(kResumedEnd);
            const auto pending = m_pending.find(parts.pid);
            if (end == std::string_view::npos || pending == m_pending.end())
                return true; // the start of the call came before the log did
            joined = std::move(pending->second);
            m_pending.erase(pending);
            joined.append(body.substr(end + kResumedEnd.size()));
            body = joined;
        } else if (CallNameLength(body) == 0) {
            m_error = "not a line of an strace log";
            errorLine = number;
            return false;
        }
        std::string_view unfinished = body;
        while (!unfinished.empty() && IsBlank(unfinished.back()))
            unfinished.remove_suffix(1);
        if (unfinished.ends_with(kUnfinished)) {
            unfinished.remove_suffix(kUnfinished.size());
            m_pending[parts.pid] = std::string(unfinished);
            return true;
        }
        if (!HandleCall(body)) {
            errorLine = number;
            return false;
        }
        return true;
    });
    if (!m_error.empty())
        return TraceError(errorLine, m_error);

    Trace trace;
    trace.format = TraceFormat::Strace;
    std::vector<bool> image(m_paths.size(), false);
    if (!imagePath.empty()) {
        bool opened = false;
        for (std::size_t p = 0; p < m_paths.size(); ++p) {
            image[p] = !m_paths[p].empty() && SamePath(m_paths[p], imagePath);
            opened = opened || image[p];
        }
        if (!opened)
            return TraceError(0, "the log never opens the image " + std::string(imagePath));
    } else {
        // The image is the file the program read most from.
        std::size_t most = m_paths.size();
        for (std::size_t p = 0; p < m_paths.size(); ++p) {
            if (!m_paths[p].empty() && m_bytesRead[p] > 0 &&
                (most == m_paths.size() || m_bytesRead[p] > m_bytesRead[most]))
                most = p;
        }
        if (most < m_paths.size())
            image[most] = true;
    }
    std::size_t kept = 0;
    for (std::size_t r = 0; r < m_reads.size(); ++r) {
        if (image[m_readPaths[r]])
            m_reads[kept++] = m_reads[r];
    }
    m_reads.resize(kept);
    trace.reads = std::move(m_reads);
    return trace;
}

} // namespace

bool IsStraceLine(std::string_view line) {
    const std::string_view body = SplitPrefix(line).body;
    return body.starts_with("+++") || body.starts_with("---") || body.starts_with(kResumedStart) ||
           CallNameLength(body) > 0;
}

CResult<Trace> ReadStraceTrace(std::string_view text, std::string_view imagePath) {
    CStraceReader reader;
    return reader.Read(text, imagePath);
}
