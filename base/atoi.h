// The C runtime's atoi on a byte text, without its undefined overflow.
#pragma once

#include <cstdint>
#include <string_view>

// Leading white space, one optional sign, digits up to the first other character, 0 without digits.
// Runs beyond the 32-bit range are clamped to it.
std::int32_t Atoi(std::string_view text);

// The same reading with a 64-bit result, clamped to the 64-bit range: every unsigned 32-bit value
// (4294967295 included) and every signed one reads as itself.
std::int64_t AtoiWide(std::string_view text);
