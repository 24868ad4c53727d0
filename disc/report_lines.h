// Line and number helpers shared by the readers of the field's reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Calls visit(lineNumber, line) for every line, LF or CR LF ended, the end removed; stops early and
// returns false when visit does.
template <typename Visit> bool ForEachLine(std::string_view text, Visit&& visit) {
    long long number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!visit(++number, line))
            return false;
    }
    return true;
}

// The text without blanks at either end.
std::string_view TrimBlanks(std::string_view text);

// A decimal number of at most `max`, blanks around it allowed; nullopt for anything else.
std::optional<std::uint64_t> ParseDecimal(std::string_view text, std::uint64_t max);
