// Random cell texts of every kind the sort meets: numbers, dates, near-misses of both, words with case
// and punctuation variants, UTF-8 and Latin-1 bytes, empty cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TextMix {
    AllKinds,         // every kind in about equal shares
    MostlyNumbers,    // numbers with one word or signed number in about fifty
    WordsOnly,        // words with case, punctuation and encoding variants, many repeated
    SignedNumbers,    // digits and hyphens only: negative numbers, hyphens between digits, long runs
    FewNegatives,     // numbers with one negative number in about fifty
    NegativesOnly,    // texts of digits and hyphens only, each with a hyphen, at most 16 digits
    SizesAndMinusOne, // numbers without leading zeros (1 and beyond 32 bits among them), "-1" in about fifty
    SizesMinusOneAndZero, // the same with a "0" now and then, which "-1" as text puts after it
    Unsigned32, // the cells of unsigned 32-bit fields: values on both sides of 2147483648 and the top ones
};

std::vector<std::string> MakeMixedCellTexts(std::size_t nCount, std::uint32_t seed,
                                            TextMix mix = TextMix::AllKinds);
