// How a byte text is shown and compared as text: as UTF-8 when it is valid UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF), else as Latin-1 (every byte one character).
#pragma once

#include <string_view>

#include <QString>

QString DecodeForDisplay(std::string_view bytes);

// The same decoding into `out`, reusing its buffer: for callers that decode many texts in a row.
void DecodeInto(std::string_view bytes, QString& out);
