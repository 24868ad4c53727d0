// One field of a CSV row: quoted, with doubled quotes, when it holds a comma, a quote or a line end.
#pragma once

#include <string>
#include <string_view>

inline std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}
