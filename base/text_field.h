// A field at a fixed offset of a line or cell text.
#pragma once

#include <cstddef>
#include <string_view>

// At most `length` bytes of text from `offset`, cut at the end of the text; empty when the offset lies at or
// beyond the end.
inline std::string_view Field(std::string_view text, std::size_t offset, std::size_t length) {
    if (offset >= text.size())
        return {};
    return text.substr(offset, length);
}
