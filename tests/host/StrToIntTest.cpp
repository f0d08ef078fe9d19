#include "components/StrToInt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    std::string text;
    std::optional<std::int32_t> expected;
};

TEST(StrToInt, ValidAndInvalidTexts) {
    const std::vector<Case> cases = {
        // decimal, signs, leading spaces and zeros
        {"0", 0},
        {"-12", -12},
        {"+7", 7},
        {"  42", 42},
        {"007", 7},
        {"-0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        // the five hexadecimal prefixes
        {"0x10", 16},
        {"$ff", 255},
        {"x1F", 31},
        {"X1f", 31},
        {"0X10", 16},
        {"-$10", -16},
        {"FFFFFFFF", std::nullopt},
        {"$FFFFFFFF", -1},
        {"$000000000FF", 255},
        {"$80000000", INT32_MIN},
        {"-$FFFFFFFF", 1},
        // invalid: range, empty, lone sign or prefix, trailing text, nine hex digits
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"abc", std::nullopt},
        {"12 px", std::nullopt},
        {"12 ", std::nullopt},
        {"\t12", std::nullopt},
        {"$1FFFFFFFF", std::nullopt},
        {"+-1", std::nullopt},
        {"0x-1", std::nullopt},
        {"1e3", std::nullopt},
        {"$fg", std::nullopt},
        {"- 1", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TryStrToInt(c.text), c.expected) << "text: \"" << c.text << "\"";
    }
}

TEST(StrToInt, DefaultReplacesInvalidText) {
    EXPECT_EQ(StrToIntDef("abc", 200), 200);
    EXPECT_EQ(StrToIntDef("$ff", 200), 255);
}

} // namespace
