#pragma once
// Time and waiting: the millisecond tick counter, sleeps and the PC's local time.
#include <cstdint>

namespace tavrin::platform {

// Milliseconds from an arbitrary start; wraps at 2^32, so compare by unsigned difference.
std::uint32_t TickCount();
void SleepMs(std::uint32_t milliseconds);

struct LocalClockTime {
  int hour;
  int minute;
  int second;
  int millisecond;
};
LocalClockTime LocalTimeNow();

// Seconds since 1970-01-01.
std::int64_t CalendarTimeNow();
// Day of the week (0 is Sunday), hour and minute of `calendarTime` in the PC's time zone.
bool LocalWeekdayHourMinute(std::int64_t calendarTime, int& day, int& hour, int& minute);

}  // namespace tavrin::platform
