#include <time.h>

#include <cerrno>

#include "platform/clock.h"

namespace tavrin::platform {

std::uint32_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

void SleepMs(std::uint32_t milliseconds) {
  timespec wait{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

LocalClockTime LocalTimeNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(now.tv_nsec / 1000000L)};
}

std::int64_t CalendarTimeNow() { return static_cast<std::int64_t>(time(nullptr)); }

bool LocalWeekdayHourMinute(std::int64_t calendarTime, int& day, int& hour, int& minute) {
  time_t t = static_cast<time_t>(calendarTime);
  tm local{};
  if (localtime_r(&t, &local) == nullptr) return false;
  day = local.tm_wday;
  hour = local.tm_hour;
  minute = local.tm_min;
  return true;
}

}  // namespace tavrin::platform
