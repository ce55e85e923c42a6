#include <gtest/gtest.h>

#include "common/IniFile.h"

namespace {

TEST(ParseIniInteger, ReadsDecimalAndHexadecimalNumbersOnly) {
    struct Case {
        const char* text;
        bool valid;
        int value;
    };
    const Case cases[] = {
        {"42", true, 42},
        {"-7", true, -7},
        {"+7", true, 7},
        {" 12 ", true, 12},
        {"0x1F", true, 31},
        {"0XfF", true, 255},
        {"0xFFFFFFFF", true, -1},          // a 32-bit pattern
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},          // beyond 32 bits
        {"0x100000000", false, 0},         // nine hex digits
        {"0x", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"12abc", false, 0},
        {"1 2", false, 0},
        {"yes", false, 0},
        {"$FF", false, 0},
        {"99999999999999999999999", false, 0},
        {"\x80\xFF\x01", false, 0},        // binary junk
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = ParseIniInteger(c.text);
        ASSERT_EQ(parsed.has_value(), c.valid);
        if (c.valid) {
            EXPECT_EQ(*parsed, c.value);
        }
    }
}

}  // namespace
