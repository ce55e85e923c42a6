// The simulated machine's clock: a local wall-clock time and a tick count
// that move only when a test or a simulated wait moves them.
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace sim {

class Clock {
public:
    Clock();

    std::uint32_t ticks() const { return ticks_; }
    // Milliseconds the machine has run in the test; never wraps or jumps.
    std::uint64_t elapsed() const { return elapsed_; }
    platform::LocalTime now() const;

    void setTicks(std::uint32_t ticks) { ticks_ = ticks; }
    // Sets the wall clock; the tick count is left alone, as on a machine
    // whose date is changed by the user.
    void setLocalTime(const platform::LocalTime& time);
    // Moves both the wall clock and the tick count (which wraps at 2^32).
    void advance(std::uint64_t milliseconds);

private:
    std::uint32_t ticks_ = 0;
    std::uint64_t elapsed_ = 0;
    std::int64_t millisecondsSince1601_ = 0;
};

// Milliseconds since 1601-01-01 00:00:00.000 of a local time, and back.
std::int64_t toMilliseconds(const platform::LocalTime& time);
platform::LocalTime fromMilliseconds(std::int64_t milliseconds);

}  // namespace sim
