// The C runtime's atoi on a byte text, without its undefined overflow.
#pragma once

#include <cstdint>
#include <string_view>

// Leading white space, one optional sign, digits up to the first other character, 0 without digits.
// Runs beyond the 32-bit range are clamped to it.
std::int32_t Atoi(std::string_view text);
