#include "base/atoi.h"

#include <climits>

namespace {

bool IsAtoiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value read by atoi's rules, clamped to [-limit, limit - 1], for a limit of at most 2^63. The
// magnitude stops growing once it reaches the limit, so long runs of digits cannot overflow; the rest of
// the run only has to be consumed.
std::int64_t ReadClamped(std::string_view text, std::uint64_t limit) {
    std::size_t i = 0;
    while (i < text.size() && IsAtoiSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude < limit)
            magnitude = magnitude > (limit - 1) / 10
                            ? limit
                            : magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    if (negative)
        return magnitude >= limit ? -static_cast<std::int64_t>(limit - 1) - 1
                                  : -static_cast<std::int64_t>(magnitude);
    return magnitude >= limit ? static_cast<std::int64_t>(limit - 1) : static_cast<std::int64_t>(magnitude);
}

} // namespace

std::int32_t Atoi(std::string_view text) {
    return static_cast<std::int32_t>(ReadClamped(text, std::uint64_t{1} << 31));
}

std::int64_t AtoiWide(std::string_view text) {
    return ReadClamped(text, std::uint64_t{1} << 63);
}
