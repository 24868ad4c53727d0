#include "table/text_collator.h"

#include "mixed_cell_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

CTextCollator English() { return CTextCollator(QLocale(QLocale::English, QLocale::UnitedStates)); }

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
    ::testing::Values(OrderCase{"apple", "Banana", -1},   // alphabet before case
                      OrderCase{"apple", "Apple", -1},    // lower case first on a tie
                      OrderCase{"Apple", "banana", -1},
                      OrderCase{"Zebra", "apple", 1},
                      OrderCase{"co-op", "coq", -1},      // hyphen nearly ignored...
                      OrderCase{"coop", "coq", -1},
                      OrderCase{"co-op", "coop", -1},     // ...but decides a tie
                      OrderCase{"co-op", "cooo", 1},      // not a character in front of "o"
                      OrderCase{"co-op", "coopa", -1},
                      OrderCase{"don't", "donu", -1},     // apostrophe likewise
                      OrderCase{"don't", "dons", 1},
                      OrderCase{"l\xe2\x80\x99" "ete", "lete", -1}, // typographic apostrophe
                      OrderCase{"l\xe2\x80\x99" "ete", "letf", -1},
                      OrderCase{"abc", "abc", 0},
                      OrderCase{"", "", 0},
                      OrderCase{"", "-", -1},             // the empty text comes first
                      OrderCase{"-", "\x01", -1},         // an ignorable character is still not empty
                      OrderCase{"", "\x01", -1},
                      OrderCase{"12", "abc", -1},
                      OrderCase{"-5", "5", -1},
                      OrderCase{"-5", "3", 1},
                      OrderCase{"caf\xe9", "caf\xc3\xa9", 0}, // Latin-1 and UTF-8 of the same word
                      OrderCase{"cafe", "caf\xc3\xa9", -1},
                      OrderCase{"caf\xc3\xa9", "cafz", -1}));

TEST(TextCollator, SortsAListOfWordsWithHyphenatedFormsNextToPlainOnes) {
    const CTextCollator collator = English();
    std::vector<std::string> words = {"coq", "Coop", "coopa", "co-op", "cooo", "dont", "Banana", "don't",
                                      "apple", "Apple", "donut", "banana"};
    std::stable_sort(words.begin(), words.end(),
                     [&](const std::string& a, const std::string& b) { return collator.Compare(a, b) < 0; });
    const std::vector<std::string> expected = {"apple", "Apple", "banana", "Banana", "cooo", "co-op",
                                               "Coop", "coopa", "coq", "don't", "dont", "donut"};
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

} // namespace
