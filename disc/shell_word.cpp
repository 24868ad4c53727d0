#include "disc/shell_word.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::optional<std::string> UnquoteShellWord(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;

    std::string word;
    word.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i++];
        if (c == '\'') {
            const std::size_t close = text.find('\'', i);
            if (close == std::string_view::npos)
                return std::nullopt;
            word.append(text.substr(i, close - i));
            i = close + 1;
        } else if (c == '"') {
            for (;;) {
                if (i >= text.size())
                    return std::nullopt;
                const char d = text[i++];
                if (d == '"')
                    break;
                // Inside double quotes a backslash escapes only these; elsewhere it stands for itself.
                if (d == '\\' && i < text.size() &&
                    (text[i] == '"' || text[i] == '\\' || text[i] == '$' || text[i] == '`')) {
                    word += text[i++];
                } else {
                    word += d;
                }
            }
        } else if (c == '\\') {
            if (i >= text.size())
                return std::nullopt;
            word += text[i++];
        } else if (IsBlank(c)) {
            return std::nullopt;
        } else {
            word += c;
        }
    }
    return word;
}
