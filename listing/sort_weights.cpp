#include "listing/sort_weights.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The prefix without the slashes at its end, so that joining it to a name gives one slash.
std::string_view TrimmedPrefix(std::string_view prefix) {
    while (!prefix.empty() && IsSeparator(prefix.back()))
        prefix.remove_suffix(1);
    return prefix;
}

std::string_view WithoutLeadingSeparators(std::string_view name) {
    while (!name.empty() && IsSeparator(name.front()))
        name.remove_prefix(1);
    return name;
}

// The reason a name cannot be written, or an empty text when it can.
const char* ProblemOf(std::string_view name) {
    if (name.find('\n') != std::string_view::npos)
        return "the name holds a line feed, which would end the tool's line";
    if (name.find('\0') != std::string_view::npos)
        return "the name holds a NUL byte, where the tool's line would end";
    if (WithoutLeadingSeparators(name).empty())
        return "the name is only slashes and names no file";
    return "";
}

// Appends the bytes of a path, backslashes as slashes and, for the shell patterns of mkisofs, the pattern
// characters escaped. Runs of plain bytes are appended whole.
void AppendPathBytes(std::string& out, std::string_view bytes, bool escapePatterns) {
    const auto special = [escapePatterns](char c) {
        return c == '\\' || (escapePatterns && (c == '*' || c == '?' || c == '['));
    };
    std::size_t run = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!escapePatterns) {
            // Only backslashes to look for, which a library search finds fastest.
            i = bytes.find('\\', i);
            if (i == std::string_view::npos)
                break;
        }
        const char c = bytes[i];
        if (!special(c))
            continue;
        out.append(bytes.substr(run, i - run));
        if (c == '\\') {
            out.push_back('/');
        } else {
            out.push_back('\\');
            out.push_back(c);
        }
        run = i + 1;
    }
    out.append(bytes.substr(run));
}

// Appends PREFIX/NAME. Without a prefix mkisofs gets ./NAME, the path the tool sees when it is run in the
// tree's folder on ".", and xorriso /NAME, the path from the image's root.
void AppendPath(std::string& out, std::string_view prefix, std::string_view name, bool escapePatterns) {
    if (prefix.empty() && escapePatterns)
        prefix = ".";
    AppendPathBytes(out, TrimmedPrefix(prefix), escapePatterns);
    out.push_back('/');
    AppendPathBytes(out, WithoutLeadingSeparators(name), escapePatterns);
}

void AppendWeight(std::string& out, std::int32_t weight) {
    char text[16];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, weight);
    (void)ec; // 16 bytes hold every 32-bit value
    out.append(text, end);
}

} // namespace

std::size_t MaxSortWeightLine(SortWeightFormat format) {
    return format == SortWeightFormat::MkisofsSort ? 4094 : 4093;
}

std::optional<SortWeightFormat> SortWeightFormatNamed(std::string_view name) {
    if (name == "mkisofs-sort")
        return SortWeightFormat::MkisofsSort;
    if (name == "xorriso-weights")
        return SortWeightFormat::XorrisoWeights;
    return std::nullopt;
}

const char* SortWeightFormatName(SortWeightFormat format) {
    return format == SortWeightFormat::MkisofsSort ? "mkisofs-sort" : "xorriso-weights";
}

namespace {

// The refusal of the name at 0-based `index` of the list.
Failure Refusal(std::size_t index, std::string reason) {
    return Failure(std::move(reason), {}, static_cast<long long>(index) + 1);
}

} // namespace

CResult<void> AppendSortWeights(std::string& out, SortWeightFormat format, std::string_view prefix,
                                std::size_t count,
                                const std::function<std::string_view(std::size_t)>& nameAt) {
    // Both tools read the weight as a signed 32-bit number; weights run from count down to 1.
    constexpr auto kMaxWeight = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    if (count > kMaxWeight)
        return Refusal(kMaxWeight, "more names than the tool has weights");
    for (std::size_t i = 0; i < count; ++i) {
        if (const char* problem = ProblemOf(nameAt(i)); *problem)
            return Refusal(i, problem);
    }

    const bool mkisofs = format == SortWeightFormat::MkisofsSort;
    const std::size_t maxLine = MaxSortWeightLine(format);
    const std::size_t before = out.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t lineStart = out.size();
        const auto weight = static_cast<std::int32_t>(count - i);
        if (mkisofs) {
            AppendPath(out, prefix, nameAt(i), true);
            out.push_back(' ');
            AppendWeight(out, weight);
        } else {
            AppendWeight(out, weight);
            out.push_back(' ');
            AppendPath(out, prefix, nameAt(i), false);
        }
        // A longer line is cut by the tool's line buffer, and its rest read as a line of its own.
        if (const std::size_t length = out.size() - lineStart; length > maxLine) {
            out.resize(before);
            return Refusal(i, "the line would be " + std::to_string(length) + " bytes long; the tool reads " +
                                  std::to_string(maxLine) + " at most and would split it");
        }
        out.push_back('\n');
    }
    return {};
}
