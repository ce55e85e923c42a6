#include <gtest/gtest.h>

#include "common/Formats.h"
#include "unit/common/CommonTestSupport.h"
#include "common/StartupLog.h"

namespace {

using commontest::FormatsScope;
using commontest::TimeAt;

TEST(CheckpointText, WritesTheShortestDecimalFormWithoutExponent) {
    FormatsScope formats;
    struct Case {
        long double number;
        const char* text;
    };
    const Case cases[] = {
        {0.01L, "0.01"},    {0.02L, "0.02"},       {0.21L, "0.21"},
        {6, "6"},           {6.3L, "6.3"},         {9.1411L, "9.1411"},
        {9.999L, "9.999"},  {9.14193L, "9.14193"}, {10, "10"},
        {123456789012345.0L, "123456789012345"},   // 15 digits in full
        {0.000001L, "0.000001"},                   // no exponent
        {1.0L / 3, "0.333333333333333"},           // 15 significant digits
        {-2.5L, "-2.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CheckpointText(c.number), c.text);
    }
}

TEST(CheckpointText, UsesTheProcessDecimalSeparator) {
    FormatsScope formats;
    Formats().decimalSeparator = ',';
    EXPECT_EQ(CheckpointText(9.1411L), "9,1411");
    EXPECT_EQ(CheckpointText(0.01L), "0,01");
}

TEST(StartupLineText, PadsTheElapsedFieldToEightCharacters) {
    FormatsScope formats;
    const platform::LocalTime t = TimeAt(31, 1, 2024, 9, 30, 15, 123);
    struct Case {
        std::uint32_t elapsed;
        const char* line;
    };
    const Case cases[] = {
        {0, "31/01/2024 09:30:15.123,        0, START"},
        {2, "31/01/2024 09:30:15.123,        2, START"},
        {12345678, "31/01/2024 09:30:15.123, 12345678, START"},
        {987654321, "31/01/2024 09:30:15.123, 987654321, START"},  // longer: unpadded
        {4294967295u, "31/01/2024 09:30:15.123, 4294967295, START"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsed);
        EXPECT_EQ(StartupLineText(t, c.elapsed, "START"), c.line);
    }
}

TEST(StartupLineText, UsesTheLocaleSeparatorsAndTwoDigitFields) {
    FormatsScope formats;
    Formats().dateSeparator = '.';
    Formats().timeSeparator = '-';
    EXPECT_EQ(StartupLineText(TimeAt(1, 2, 2003, 4, 5, 6, 7), 0, "0.01"),
              "01.02.2003 04-05-06.007,        0, 0.01");
}

}  // namespace
