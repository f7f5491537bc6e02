#include <windows.h>

#include <ctime>

#include "platform/clock.h"

namespace tavrin::platform {

std::uint32_t TickCount() { return GetTickCount(); }

void SleepMs(std::uint32_t milliseconds) { Sleep(milliseconds); }

LocalClockTime LocalTimeNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

std::int64_t CalendarTimeNow() { return static_cast<std::int64_t>(_time64(nullptr)); }

bool LocalWeekdayHourMinute(std::int64_t calendarTime, int& day, int& hour, int& minute) {
  __time64_t t = calendarTime;
  std::tm local{};
  if (_localtime64_s(&local, &t) != 0) return false;
  day = local.tm_wday;
  hour = local.tm_hour;
  minute = local.tm_min;
  return true;
}

}  // namespace tavrin::platform
