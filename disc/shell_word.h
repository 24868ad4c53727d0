// Undoing the shell quoting of one word as the field's tools write it: 'single quotes', "double quotes"
// with backslash escapes, bare characters with backslash escapes, and any run of them joined together.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The word's bytes, or nullopt when the text is not exactly one word (an open quote, a trailing
// backslash, or a blank outside quotes). Blanks around the word are allowed.
std::optional<std::string> UnquoteShellWord(std::string_view text);
