#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "base/atoi.h"

using namespace std::string_view_literals;

TEST(Atoi, FollowsTheRuntimeRulesAndClampsTo32Bits) {
    struct Case {
        std::string_view text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 0},
        {"12", 12},
        {"0012", 12},
        {"  -12x", -12},
        {"\t\n\v\f\r 5", 5},
        {"+7", 7},
        {"-", 0},
        {"- 5", 0},
        {"+-5", 0},
        {"12 34", 12},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MAX},
        {"-2147483649", INT32_MIN},
        {"4294967295", INT32_MAX},
        {"99999999999999999999999999", INT32_MAX},
        {"-99999999999999999999999999", INT32_MIN},
        {"000000000000000000000000042", 42},
        {"7\0"
         "5"sv,
         7},
        {"12/05/2004", 12},
        {"\x85"
         "5",
         0}, // not white space in the C locale
    };
    for (const Case& c : cases)
        EXPECT_EQ(Atoi(c.text), c.value) << "text: " << c.text;
}

TEST(AtoiWide, ReadsEveryUnsigned32BitValueAndClampsTo64Bits) {
    struct Case {
        std::string_view text;
        std::int64_t value;
    };
    const Case cases[] = {
        {"", 0},
        {"  -12x", -12},
        {"2147483648", 2147483648LL},
        {"2600468480", 2600468480LL},
        {"4294967295", 4294967295LL},
        {"-2147483649", -2147483649LL},
        {"9223372036854775807", INT64_MAX},
        {"9223372036854775808", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"99999999999999999999999999", INT64_MAX},
        {"-99999999999999999999999999", INT64_MIN},
        {"000000000000000000000000042", 42},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AtoiWide(c.text), c.value) << "text: " << c.text;
}
