#include "sorting/text_collator.h"

#include "sorting/mixed_cell_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

CTextCollator English() {
    return CTextCollator(QLocale(QLocale::English, QLocale::UnitedStates));
}

struct OrderCase {
    const char* a;
    const char* b;
    int expected; // sign of Compare(a, b)
};

class TextCollatorOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(TextCollatorOrder, ComparesBothWaysAndByKey) {
    const CTextCollator collator = English();
    const OrderCase& c = GetParam();
    EXPECT_EQ(collator.Compare(c.a, c.b), c.expected);
    EXPECT_EQ(collator.Compare(c.b, c.a), -c.expected);
    EXPECT_EQ(collator.MakeKey(c.a).Compare(collator.MakeKey(c.b)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextCollatorOrder,
    ::testing::Values(OrderCase{"apple", "Banana", -1}, // alphabet before case
                      OrderCase{"apple", "Apple", -1},  // lower case first on a tie
                      OrderCase{"Apple", "banana", -1}, OrderCase{"Zebra", "apple", 1},
                      OrderCase{"co-op", "coq", -1}, // hyphen nearly ignored...
                      OrderCase{"coop", "coq", -1}, OrderCase{"co-op", "coop", -1}, // ...but decides a tie
                      OrderCase{"co-op", "cooo", 1}, // not a character in front of "o"
                      OrderCase{"co-op", "coopa", -1}, OrderCase{"don't", "donu", -1}, // apostrophe likewise
                      OrderCase{"don't", "dons", 1},
                      OrderCase{"l\xe2\x80\x99"
                                "ete",
                                "lete", -1}, // typographic apostrophe
                      OrderCase{"l\xe2\x80\x99"
                                "ete",
                                "letf", -1},
                      // Typographic apostrophe, hyphen and non-breaking hyphen are nearly ignored as well:
                      // counted as characters they would sort before "o".
                      OrderCase{"co\xe2\x80\x99op", "cooo", 1}, OrderCase{"co\xe2\x80\x90op", "cooo", 1},
                      OrderCase{"co\xe2\x80\x91op", "cooo", 1}, OrderCase{"abc", "abc", 0},
                      OrderCase{"", "", 0}, OrderCase{"", "-", -1}, // the empty text comes first
                      OrderCase{"-", "\x01", -1}, // an ignorable character is still not empty
                      OrderCase{"", "\x01", -1}, OrderCase{"12", "abc", -1}, OrderCase{"-5", "5", -1},
                      OrderCase{"-5", "3", 1},
                      OrderCase{"caf\xe9", "caf\xc3\xa9", 0}, // Latin-1 and UTF-8 of the same word
                      OrderCase{"cafe", "caf\xc3\xa9", -1}, OrderCase{"caf\xc3\xa9", "cafz", -1}));

TEST(TextCollator, SortsAListOfWordsWithHyphenatedFormsNextToPlainOnes) {
    const CTextCollator collator = English();
    std::vector<std::string> words = {"coq",    "Coop",  "coopa", "co-op", "cooo",  "dont",
                                      "Banana", "don't", "apple", "Apple", "donut", "banana"};
    std::stable_sort(words.begin(), words.end(),
                     [&](const std::string& a, const std::string& b) { return collator.Compare(a, b) < 0; });
    const std::vector<std::string> expected = {"apple", "Apple", "banana", "Banana", "cooo", "co-op",
                                               "Coop",  "coopa", "coq",    "don't",  "dont", "donut"};
    EXPECT_EQ(words, expected);
}

TEST(TextCollator, CodePointLocaleIsReplacedByEnglish) {
    // The tests run with LANG=C.UTF-8, where the system locale has no linguistic order.
    for (const CTextCollator& collator : {CTextCollator(), CTextCollator(QLocale::c())}) {
        EXPECT_EQ(collator.Locale().language(), QLocale::English);
        EXPECT_EQ(collator.Compare("apple", "Banana"), -1);
        EXPECT_EQ(collator.Compare("Banana", "apple"), 1);
    }
}

TEST(TextCollator, FollowsTheGivenLocale) {
    // Swedish sorts "ä" after "z", English next to "a".
    const CTextCollator swedish{QLocale(QLocale::Swedish, QLocale::Sweden)};
    EXPECT_EQ(swedish.Locale().language(), QLocale::Swedish);
    EXPECT_EQ(swedish.Compare("\xc3\xa4", "z"), 1);
    EXPECT_EQ(English().Compare("\xc3\xa4", "z"), -1);
}

struct DecodeCase {
    const char* name;
    std::string bytes;
    QString expected;
};

TEST(TextCollator, DecodesValidUtf8AndOtherwiseLatin1) {
    const DecodeCase cases[] = {
        {"ascii", "Abc-1", QStringLiteral("Abc-1")},
        {"utf8 two bytes", "caf\xc3\xa9", QStringLiteral(u"caf\u00e9")},
        {"utf8 three bytes", "\xe2\x80\x99", QStringLiteral(u"\u2019")},
        {"utf8 four bytes", "\xf0\x9f\x98\x80", QString::fromUtf16(u"\U0001F600")},
        {"latin1 byte", "caf\xe9", QStringLiteral(u"caf\u00e9")},
        {"overlong slash", "\xc0\xaf", QStringLiteral(u"\u00c0\u00af")},
        {"surrogate", "\xed\xa0\x80", QStringLiteral(u"\u00ed\u00a0\u0080")},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80", QStringLiteral(u"\u00f4\u0090\u0080\u0080")},
        {"truncated", "ab\xc3", QStringLiteral(u"ab\u00c3")},
        {"lone continuation", "\x80z", QStringLiteral(u"\u0080z")},
        {"empty", "", QString()},
    };
    for (const DecodeCase& c : cases)
        EXPECT_EQ(CTextCollator::Decode(c.bytes), c.expected) << c.name;
}

// Keys are the fast path of the sort: they must give Compare's result for every pair of texts.
TEST(TextCollator, KeysAgreeWithCompareOnRandomTexts) {
    const CTextCollator collator = English();
    const std::vector<std::string> texts = MakeMixedCellTexts(400, 11);
    std::vector<CTextCollator::CKey> keys;
    for (const std::string& t : texts)
        keys.push_back(collator.MakeKey(t));
    int nMismatches = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (std::size_t j = 0; j < texts.size(); j += 3) {
            const int expected = collator.Compare(texts[i], texts[j]);
            if (keys[i].Compare(keys[j]) != expected || collator.Compare(texts[j], texts[i]) != -expected) {
                if (++nMismatches < 10)
                    ADD_FAILURE() << "[" << texts[i] << "] vs [" << texts[j] << "]";
            }
        }
    }
    EXPECT_EQ(nMismatches, 0);
}

// Ranks must order texts exactly as Compare does: checked between neighbours in rank order (which,
// Compare being an order, covers every pair) and on random pairs. The large case shares its work
// among threads.
TEST(TextCollator, RanksFollowCompare) {
    const CTextCollator collator = English();
    ASSERT_TRUE(collator.MakesFlatKeys());
    ASSERT_TRUE(collator.ComparesDigitsAndHyphensByBytes());
    struct Case {
        TextMix mix;
        std::size_t nCount;
    };
    // Texts of digits and hyphens are ranked without collation: with at most 16 digits by a number made
    // of them, with more by their bytes.
    for (const Case& c : {Case{TextMix::AllKinds, 0}, Case{TextMix::AllKinds, 1},
                          Case{TextMix::AllKinds, 3000}, Case{TextMix::WordsOnly, 120000},
                          Case{TextMix::FewNegatives, 3000}, Case{TextMix::SignedNumbers, 3000}}) {
        SCOPED_TRACE("count " + std::to_string(c.nCount));
        const std::vector<std::string> texts = MakeMixedCellTexts(c.nCount, 3, c.mix);
        const std::vector<std::uint32_t> ranks =
            collator.MakeRanks(static_cast<std::uint32_t>(texts.size()),
                               [&](std::uint32_t i) { return std::string_view(texts[i]); });
        ASSERT_EQ(ranks.size(), texts.size());

        std::vector<std::uint32_t> byRank(texts.size());
        for (std::uint32_t i = 0; i < byRank.size(); ++i)
            byRank[i] = i;
        std::stable_sort(byRank.begin(), byRank.end(), [&](auto a, auto b) { return ranks[a] < ranks[b]; });
        int nMismatches = 0;
        for (std::size_t k = 1; k < byRank.size(); ++k) {
            const std::uint32_t a = byRank[k - 1];
            const std::uint32_t b = byRank[k];
            // Dense ranks: neighbours differ by at most one, exactly when their texts differ.
            const std::uint32_t step = ranks[b] - ranks[a];
            if ((step > 1 || static_cast<int>(step) != -collator.Compare(texts[a], texts[b])) &&
                ++nMismatches < 10)
                ADD_FAILURE() << "[" << texts[a] << "] rank " << ranks[a] << " then [" << texts[b]
                              << "] rank " << ranks[b];
        }
        if (!byRank.empty()) {
            EXPECT_EQ(ranks[byRank.front()], 0u);
        }
        std::mt19937 rng(1);
        for (int n = 0; n < 2000 && texts.size() > 1; ++n) {
            const std::size_t a = rng() % texts.size();
            const std::size_t b = rng() % texts.size();
            const int byRanks = (ranks[a] > ranks[b]) - (ranks[a] < ranks[b]);
            if (byRanks != collator.Compare(texts[a], texts[b]) && ++nMismatches < 10)
                ADD_FAILURE() << "[" << texts[a] << "] vs [" << texts[b] << "]";
        }
        EXPECT_EQ(nMismatches, 0);
    }
}

TEST(TextCollator, RanksSplitTiesOfStrippedTextsByTheFullTexts) {
    const CTextCollator collator = English();
    const std::vector<std::string> texts = {"coop", "co-op", "coop", "co'op", "-", "", "'", "co-op", "coq"};
    const std::vector<std::uint32_t> ranks =
        collator.MakeRanks(static_cast<std::uint32_t>(texts.size()),
                           [&](std::uint32_t i) { return std::string_view(texts[i]); });
    // "" < "-" < "'" (empty stripped texts, then the full ones), then co-op < co'op < coop < coq.
    EXPECT_EQ(ranks, (std::vector<std::uint32_t>{5, 3, 5, 4, 1, 0, 2, 3, 6}));
}

} // namespace
