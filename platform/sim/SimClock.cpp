#include "platform/sim/SimClock.h"

namespace sim {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

bool isLeapYear(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(std::int64_t y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

// Leap years in [1601, y): the epoch year starts a 400-year cycle.
std::int64_t leapYearsBefore(std::int64_t y) {
    const std::int64_t n = y - 1601;
    const std::int64_t floorDiv4 = n >= 0 ? n / 4 : (n - 3) / 4;
    const std::int64_t floorDiv100 = n >= 0 ? n / 100 : (n - 99) / 100;
    const std::int64_t floorDiv400 = n >= 0 ? n / 400 : (n - 399) / 400;
    return floorDiv4 - floorDiv100 + floorDiv400;
}

// Days since 1601-01-01 of a Gregorian date.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    std::int64_t days = 365 * (y - 1601) + leapYearsBefore(y);
    for (int month = 1; month < m; ++month) days += daysInMonth(y, month);
    return days + d - 1;
}

void civilFromDays(std::int64_t days, int* year, int* month, int* day) {
    std::int64_t y = 1601 + days / 366;  // never past the answer
    if (days < 0) y = 1601 + days / 365 - 1;
    while (daysFromCivil(y + 1, 1, 1) <= days) ++y;
    std::int64_t rest = days - daysFromCivil(y, 1, 1);
    int m = 1;
    while (rest >= daysInMonth(y, m)) rest -= daysInMonth(y, m++);
    *year = static_cast<int>(y);
    *month = m;
    *day = static_cast<int>(rest) + 1;
}

}  // namespace

std::int64_t toMilliseconds(const platform::LocalTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * kMsPerDay +
           ((t.hour * 60 + t.minute) * 60 + t.second) * std::int64_t(1000) + t.millisecond;
}

platform::LocalTime fromMilliseconds(std::int64_t ms) {
    platform::LocalTime t;
    std::int64_t days = ms / kMsPerDay;
    std::int64_t rest = ms % kMsPerDay;
    if (rest < 0) {
        rest += kMsPerDay;
        --days;
    }
    civilFromDays(days, &t.year, &t.month, &t.day);
    t.millisecond = static_cast<int>(rest % 1000);
    rest /= 1000;
    t.second = static_cast<int>(rest % 60);
    rest /= 60;
    t.minute = static_cast<int>(rest % 60);
    t.hour = static_cast<int>(rest / 60);
    return t;
}

Clock::Clock() {
    // A fixed, ordinary start: Wednesday 31 January 2024, 09:30:15.123,
    // an hour and a half after boot.
    setLocalTime(platform::LocalTime{2024, 1, 31, 9, 30, 15, 123});
    ticks_ = 5400000;
}

platform::LocalTime Clock::now() const { return fromMilliseconds(millisecondsSince1601_); }

void Clock::setLocalTime(const platform::LocalTime& time) {
    millisecondsSince1601_ = toMilliseconds(time);
}

void Clock::advance(std::uint64_t milliseconds) {
    ticks_ = static_cast<std::uint32_t>(ticks_ + milliseconds);
    elapsed_ += milliseconds;
    millisecondsSince1601_ += static_cast<std::int64_t>(milliseconds);
}

}  // namespace sim
