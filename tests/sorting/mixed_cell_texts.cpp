#include "sorting/mixed_cell_texts.h"

#include <random>

namespace {

class CTextMaker {
public:
    explicit CTextMaker(std::uint32_t seed) : m_rng(seed) {}

    std::string Make(TextMix mix) {
        if (mix == TextMix::Unsigned32) {
            static constexpr const char* kEdges[] = {"0",          "1",          "2147483646", "2147483647",
                                                     "2147483648", "2147483649", "4294967294", "4294967295"};
            if (Pick(4) == 0)
                return kEdges[Pick(std::size(kEdges))];
            return std::to_string(std::uniform_int_distribution<std::uint32_t>()(m_rng) >> Pick(32));
        }
        if (mix == TextMix::MostlyNumbers)
            return Pick(50) == 0 ? (Pick(2) ? Word() : "-1")
                                 : Digits(1 + Pick(11)); // beyond 32 bits now and then
        if (mix == TextMix::FewNegatives)
            return (Pick(50) == 0 ? "-" : "") + Digits(1 + Pick(9));
        if (mix == TextMix::SizesAndMinusOne || mix == TextMix::SizesMinusOneAndZero) {
            if (Pick(50) == 0)
                return "-1";
            if (mix == TextMix::SizesMinusOneAndZero && Pick(500) == 0)
                return "0";
            return Pick(20) == 0 ? "1" : std::to_string(1 + Pick(9)) + Digits(Pick(11));
        }
        if (mix == TextMix::SignedNumbers) {
            switch (Pick(6)) {
            case 0:
                return Digits(Pick(3)) + "-" + Digits(Pick(3)) + Piece("-0");
            case 1:
                return "-" + Digits(15 + Pick(5)); // beyond 16 digits now and then
            case 2:
                return Digits(1 + Pick(3));
            default:
                return "-" + Digits(1 + Pick(10));
            }
        }
        if (mix == TextMix::NegativesOnly) // many share their digits and differ where the hyphens stand
            return Pick(4) == 0 ? Digits(Pick(3)) + "-" + Digits(Pick(2)) + Piece("-")
                                : "-" + Digits(1 + Pick(10));
        if (mix == TextMix::WordsOnly)
            return Pick(2) ? Word() : MakeOfCategory(Pick(2) ? 8 : 10);
        return MakeOfCategory(Pick(12));
    }

private:
    std::string MakeOfCategory(std::size_t category) {
        switch (category) {
        case 0:
            return Digits(1 + Pick(4)); // small numbers, leading zeros
        case 1:
            return Digits(5 + Pick(20)); // beyond 32 bits too
        case 2:
            return "";
        case 3:
            return Digits(2) + "/" + Digits(2) + "/" + Digits(4); // dates DD/MM/YYYY
        case 4:
            return Digits(1) + "/" + Digits(1 + Pick(2)) + "/" + Digits(2 + Pick(3)); // near dates
        case 5:
            return (Pick(2) ? "-" : "+") + Digits(1 + Pick(3)); // signed: text kind
        case 6:
            return std::string(Pick(3), ' ') + Digits(1 + Pick(3)); // white space then digits
        case 7:
            return Word();
        case 8:
            return Word() + Piece("-'") + Word(); // hyphens and apostrophes
        case 9:
            return Word() + Piece(" .") + Digits(Pick(3));
        case 10:
            return Word() + Piece(kAccents[Pick(std::size(kAccents))]);
        default:
            return Piece("-'") + Word() + Bytes();
        }
    }

    // Composed and decomposed accents (the same letter to the collation), Latin-1, an apostrophe, bytes
    // that are not UTF-8.
    static constexpr const char* kAccents[] = {"\xc3\xa9", "\xc3\xa4",      "\xe9",    "e\xcc\x81",
                                               "\xfc",     "\xe2\x80\x99s", "\xc0\xaf"};

    std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_rng); }

    std::string Digits(std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            s += static_cast<char>('0' + Pick(10));
        return s;
    }

    std::string Piece(const char* choices) {
        const std::string c(choices);
        return std::string(1, c[Pick(c.size())]);
    }

    // Words from a small alphabet, so that texts often tie or differ only in case or punctuation.
    std::string Word() {
        static const char kLetters[] = "aAbBcCoO";
        std::string s;
        const std::size_t n = 1 + Pick(4);
        for (std::size_t i = 0; i < n; ++i)
            s += kLetters[Pick(sizeof(kLetters) - 1)];
        return s;
    }

    // Occasionally a control byte or a high byte that is not UTF-8.
    std::string Bytes() {
        switch (Pick(4)) {
        case 0:
            return "\x01";
        case 1:
            return "\xff";
        default:
            return "";
        }
    }

    std::mt19937 m_rng;
};

} // namespace

std::vector<std::string> MakeMixedCellTexts(std::size_t nCount, std::uint32_t seed, TextMix mix) {
    CTextMaker maker(seed);
    std::vector<std::string> texts;
    texts.reserve(nCount);
    for (std::size_t i = 0; i < nCount; ++i)
        texts.push_back(maker.Make(mix));
    return texts;
}
