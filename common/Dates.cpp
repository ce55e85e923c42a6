#include "common/Dates.h"

#include <cstdio>

#include "common/Formats.h"
#include "platform/Platform.h"

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// Reads a run of decimal digits of `minDigits` to `maxDigits` at `*pos`.
std::optional<int> Digits(const std::string& text, std::size_t* pos, std::size_t minDigits,
                          std::size_t maxDigits) {
    std::size_t count = 0;
    int value = 0;
    while (*pos < text.size() && count < maxDigits && text[*pos] >= '0' && text[*pos] <= '9') {
        value = value * 10 + (text[*pos] - '0');
        ++*pos;
        ++count;
    }
    if (count < minDigits) return std::nullopt;
    return value;
}

void SkipBlanks(const std::string& text, std::size_t* pos) {
    while (*pos < text.size() && static_cast<unsigned char>(text[*pos]) <= 32) ++*pos;
}

// Length of the run of `letter` that starts at `pos`.
std::size_t RunLength(const std::string& picture, std::size_t pos) {
    std::size_t end = pos;
    while (end < picture.size() && picture[end] == picture[pos]) ++end;
    return end - pos;
}

}  // namespace

bool operator==(const Date& a, const Date& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}
bool operator!=(const Date& a, const Date& b) { return !(a == b); }
bool operator<(const Date& a, const Date& b) {
    if (a.year != b.year) return a.year < b.year;
    if (a.month != b.month) return a.month < b.month;
    return a.day < b.day;
}

bool IsValidDate(const Date& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= DaysInMonth(date.year, date.month);
}

long DayNumber(const Date& date) {
    // Days from civil (proleptic Gregorian), counting March as the first month.
    const long y = date.year - (date.month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yearOfEra = y - era * 400;
    const long monthFromMarch = (date.month + 9) % 12;
    const long dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Date DateOf(const platform::LocalTime& time) { return Date{time.year, time.month, time.day}; }

Date Today() { return DateOf(platform::system().localTime()); }

std::string DateStamp(const Date& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
    return text;
}

std::string DisplayDate(const Date& date) {
    const char separator = Formats().dateSeparator;
    char text[32];
    std::snprintf(text, sizeof text, "%02d%c%02d%c%04d", date.day, separator, date.month,
                  separator, date.year);
    return text;
}

std::optional<Date> ParseDisplayDate(const std::string& text) {
    const char separator = Formats().dateSeparator;
    std::size_t pos = 0;
    SkipBlanks(text, &pos);
    const auto day = Digits(text, &pos, 1, 2);
    if (!day || pos >= text.size() || text[pos++] != separator) return std::nullopt;
    const auto month = Digits(text, &pos, 1, 2);
    if (!month || pos >= text.size() || text[pos++] != separator) return std::nullopt;
    const auto year = Digits(text, &pos, 4, 4);
    if (!year) return std::nullopt;
    SkipBlanks(text, &pos);
    if (pos != text.size()) return std::nullopt;
    const Date date{*year, *month, *day};
    if (!IsValidDate(date)) return std::nullopt;
    return date;
}

std::string LongTimeText(const platform::LocalTime& time) {
    const ProcessFormats& formats = Formats();
    const std::string& picture = formats.longTimeFormat;
    const int hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
    std::string result;
    std::size_t pos = 0;
    while (pos < picture.size()) {
        const char letter = picture[pos];
        if (letter == '\'') {
            const std::size_t close = picture.find('\'', pos + 1);
            const std::size_t end = close == std::string::npos ? picture.size() : close;
            result += picture.substr(pos + 1, end - pos - 1);
            pos = end + 1;
            continue;
        }
        const std::size_t run = RunLength(picture, pos);
        const bool twoDigits = run >= 2;
        switch (letter) {
            case 'h': result += twoDigits ? TwoDigits(hour12) : std::to_string(hour12); break;
            case 'H': result += twoDigits ? TwoDigits(time.hour) : std::to_string(time.hour); break;
            case 'm': result += twoDigits ? TwoDigits(time.minute) : std::to_string(time.minute); break;
            case 's': result += twoDigits ? TwoDigits(time.second) : std::to_string(time.second); break;
            case 't': {
                const std::string& designator =
                    time.hour < 12 ? formats.amDesignator : formats.pmDesignator;
                result += twoDigits ? designator : designator.substr(0, 1);
                break;
            }
            default: result += picture.substr(pos, run); break;
        }
        pos += run;
    }
    return result;
}
