#include <gtest/gtest.h>

#include "common/Dates.h"
#include "common/Formats.h"
#include "unit/common/CommonTestSupport.h"

namespace {

using commontest::FormatsScope;

platform::LocalTime TimeOfDay(int hour, int minute, int second) {
    return commontest::TimeAt(31, 1, 2024, hour, minute, second);
}

TEST(DateTexts, StampAndDisplayUseFixedFieldWidths) {
    FormatsScope formats;
    EXPECT_EQ(DateStamp(Date{2024, 1, 31}), "20240131");
    EXPECT_EQ(DisplayDate(Date{2024, 1, 31}), "31/01/2024");
    EXPECT_EQ(DisplayDate(Date{987, 3, 4}), "04/03/0987");
    Formats().dateSeparator = '.';
    EXPECT_EQ(DisplayDate(Date{2012, 3, 14}), "14.03.2012");
}

TEST(ParseDisplayDate, ReadsValidDatesOnly) {
    FormatsScope formats;
    struct Case {
        const char* text;
        bool valid;
        Date date;
    };
    const Case cases[] = {
        {"14/03/2012", true, {2012, 3, 14}},
        {"1/2/2012", true, {2012, 2, 1}},
        {" 29/02/2024 ", true, {2024, 2, 29}},
        {"29/02/2023", false, {}},   // no such day
        {"31/04/2012", false, {}},   // April has 30 days
        {"14/13/2012", false, {}},   // month 13
        {"00/01/2012", false, {}},
        {"14/03/12", false, {}},     // two-digit year
        {"14-03-2012", false, {}},   // other separator
        {"14/03/2012x", false, {}},
        {"", false, {}},
        {"\xFF\x01/\x80", false, {}},  // binary junk
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = ParseDisplayDate(c.text);
        ASSERT_EQ(parsed.has_value(), c.valid);
        if (c.valid) {
            EXPECT_EQ(*parsed, c.date);
        }
    }
}

TEST(ParseDisplayDate, FollowsTheProcessDateSeparator) {
    FormatsScope formats;
    Formats().dateSeparator = '-';
    EXPECT_EQ(ParseDisplayDate("14-03-2012"), (Date{2012, 3, 14}));
    EXPECT_FALSE(ParseDisplayDate("14/03/2012"));
}

TEST(DayNumber, CountsCalendarDaysAcrossMonthsYearsAndLeapDays) {
    struct Case {
        const char* name;
        Date from;
        Date to;
        long days;
    };
    const Case cases[] = {
        {"epoch", {1970, 1, 1}, {1970, 1, 1}, 0},
        {"leap day 2024", {2024, 2, 28}, {2024, 3, 1}, 2},
        {"no leap day 2100", {2100, 2, 28}, {2100, 3, 1}, 1},
        {"leap day 2000", {2000, 2, 28}, {2000, 3, 1}, 2},
        {"year end", {2011, 12, 31}, {2012, 1, 1}, 1},
        {"thirty days", {2012, 2, 14}, {2012, 3, 15}, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DayNumber(c.to) - DayNumber(c.from), c.days);
    }
}

TEST(DateOrder, ComparesByCalendarDay) {
    EXPECT_TRUE((Date{2011, 12, 31}) < (Date{2012, 1, 1}));
    EXPECT_TRUE((Date{2012, 1, 31}) < (Date{2012, 2, 1}));
    EXPECT_FALSE((Date{2012, 2, 1}) < (Date{2012, 2, 1}));
    EXPECT_FALSE(IsValidDate(Date{}));
}

TEST(LongTimeText, FollowsTheLocalePicture) {
    FormatsScope formats;
    struct Case {
        const char* picture;
        platform::LocalTime time;
        const char* text;
    };
    const Case cases[] = {
        {"HH:mm:ss", TimeOfDay(14, 5, 9), "14:05:09"},
        {"H:mm:ss", TimeOfDay(7, 5, 9), "7:05:09"},
        {"h:mm:ss tt", TimeOfDay(14, 5, 9), "2:05:09 PM"},
        {"hh:mm:ss tt", TimeOfDay(0, 0, 0), "12:00:00 AM"},
        {"HH.mm.ss", TimeOfDay(23, 59, 58), "23.59.58"},
        {"HH'h'mm", TimeOfDay(9, 30, 0), "09h30"},
        {"'unclosed", TimeOfDay(9, 30, 0), "unclosed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        Formats().longTimeFormat = c.picture;
        EXPECT_EQ(LongTimeText(c.time), c.text);
    }
}

}  // namespace
