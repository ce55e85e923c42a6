// Calendar dates and the date and time texts of the program. Texts use the
// separators of the process formats (common/Formats.h).
#pragma once

#include <optional>
#include <string>

#include "platform/Types.h"

// A calendar day. The default value (all zero) is no date at all.
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

bool operator==(const Date& a, const Date& b);
bool operator!=(const Date& a, const Date& b);
bool operator<(const Date& a, const Date& b);

// True for a real day of the Gregorian calendar, years 1 to 9999.
bool IsValidDate(const Date& date);

// Consecutive day numbers (1 January 1970 is 0), so that subtracting two of
// them gives the days between the dates. Only for valid dates.
long DayNumber(const Date& date);

// The calendar day of a local time.
Date DateOf(const platform::LocalTime& time);
// Today: the system's local date without time of day.
Date Today();

// "YYYYMMDD", e.g. 20240131.
std::string DateStamp(const Date& date);
// "DD/MM/YYYY" with the process's date separator, e.g. 31/01/2024.
std::string DisplayDate(const Date& date);
// Reads a DisplayDate text: day and month of one or two digits and a
// four-digit year, separated by the process's date separator, blanks around
// it allowed. Nullopt for anything else, including days that do not exist.
std::optional<Date> ParseDisplayDate(const std::string& text);

// The time of day in the locale's long time picture of the process formats
// (h, hh, H, HH, m, mm, s, ss, t, tt and 'quoted' text), e.g. 14:05:09.
std::string LongTimeText(const platform::LocalTime& time);
