// How a byte text is shown: as UTF-8 when it is valid UTF-8, else as Latin-1 (every byte one character).
#pragma once

#include <string_view>

#include <QString>

QString DecodeForDisplay(std::string_view bytes);
