#include "sorting/row_compare.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

const CTextCollator& English() {
    static const CTextCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    return collator;
}

TEST(RowCompare, KindOfCell) {
    struct Case {
        std::string text;
        CellKind kind;
    };
    const Case cases[] = {
        {"", CellKind::Number}, // the empty text is all digits
        {"0", CellKind::Number},
        {"0123456789", CellKind::Number},
        {"99999999999999999999", CellKind::Number},
        {"-5", CellKind::Text}, // a sign is not a digit
        {"+5", CellKind::Text},
        {" 5", CellKind::Text},
        {"5 ", CellKind::Text},
        {"12a", CellKind::Text},
        {"\xd9\xa1", CellKind::Text}, // a digit of another script is no decimal digit
        {"\xb2", CellKind::Text},     // nor is a superscript two in Latin-1
        {std::string("1\0"
                     "2",
                     3),
         CellKind::Text},
        {"31/12/2003", CellKind::Date},
        {"00/00/0000", CellKind::Date},
        {"99/99/9999", CellKind::Date},
        {"1/2/2004", CellKind::Text}, // 8 bytes
        {"01/02/04", CellKind::Text},
        {"01/02/20045", CellKind::Text},
        {"01-02-2004", CellKind::Text},
        {"01/02/200a", CellKind::Text},
        {"0a/02/2004", CellKind::Text},
        {"01/02/2004 ", CellKind::Text},
        {"012/1/2004", CellKind::Text},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KindOfCell(c.text), c.kind) << "[" << c.text << "]";
        EXPECT_EQ(IsAllDigits(c.text), c.kind == CellKind::Number) << "[" << c.text << "]";
        EXPECT_EQ(IsDayMonthYear(c.text), c.kind == CellKind::Date) << "[" << c.text << "]";
    }
}

struct PairCase {
    const char* a;
    const char* b;
    int expected;
};

TEST(RowCompare, CompareAsNumbers) {
    const PairCase cases[] = {
        {"3", "20", -1},
        {"100", "20", 1},
        {"0012", "12", 0},
        {"", "0", 0},
        {"abc", "", 0},
        {"-5", "3", -1},
        {"12abc", "12", 0},
        {"99999999999", "2147483647", 1},
        {"2147483648", "2147483647", 1},
        {"4294967295", "4294967294", 1},
        {"-1", "4294967295", -1},
        {"99999999999999999999", "9223372036854775807", 0},
    };
    for (const PairCase& c : cases)
        EXPECT_EQ(CompareAsNumbers(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

TEST(RowCompare, CompareAsDates) {
    const PairCase cases[] = {
        {"01/02/2004", "31/12/2003", 1},  // year first
        {"31/01/2004", "01/02/2004", -1}, // then month
        {"02/02/2004", "01/02/2004", 1},  // then day
        {"01/02/2004", "01/02/2004", 0},
        {"31/12/2003", "abc", 1}, // the second text needs no date form: all its keys are 0
        {"00/00/0000", "", 0},
        {"01/02/2004", "xx/xx/2004", 1}, // same year and month 0 < 2
        {"01/02/2004", "01/02/2004tail", 0},
        {"01/02/2004", "01/02/20", 1},   // year cut at the end: 20
        {"01/02/2004", "01/0", 1},       // month "0", year beyond the end: 0
        {"01/02/0004", " 1/ 2/   4", 0}, // white space before the digits counts as atoi does
        {"01/02/2004", "01/02/-999", 1},
    };
    for (const PairCase& c : cases) {
        EXPECT_EQ(CompareAsDates(c.a, c.b), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(CompareAsDates(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
    }
}

// The row comparison: the first operand alone decides the kind, descending swaps the operands.
TEST(RowCompare, CompareCells) {
    struct Case {
        const char* t1;
        const char* t2;
        int ascending;  // expected sign ascending
        int descending; // expected sign descending
    };
    const Case cases[] = {
        {"100", "20", 1, -1}, // numbers, not text order
        {"3", "20", -1, 1},
        {"0012", "12", 0, 0},
        {"", "5", -1, 1},  // empty is the number 0 as first operand...
        {"", "abc", 0, 0}, // ...and abc is 0 as a number
        {"5", "", 1, -1},
        {"12", "abc", 1, -1}, // number kind: abc counts as 0
        {"abc", "12", 1, -1}, // text kind: digits before letters
        {"-5", "3", 1, -1},   // "-5" is text: "5" after "3"
        {"3", "-5", 1, -1},   // number kind: 3 > -5
        {"01/02/2004", "31/12/2003", 1, -1},
        {"31/12/2003", "2004", 1, -1},     // date kind: "2004" has no year field
        {"9/2/2004", "31/12/2003", 1, -1}, // text kind: "9" after "3" (as a date it would come first)
        {"apple", "Banana", -1, 1},
        {"apple", "Apple", -1, 1},
        {"co-op", "coq", -1, 1},
        {"Same", "Same", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareCells(c.t1, c.t2, true, English()), c.ascending) << c.t1 << " vs " << c.t2;
        EXPECT_EQ(CompareCells(c.t1, c.t2, false, English()), c.descending)
            << c.t1 << " vs " << c.t2 << " desc";
    }
}

} // namespace
