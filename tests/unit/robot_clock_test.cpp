#include "robot_link/robot_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace tavrin {
namespace {

TEST(RobotClock, CommandCarriesLocalWeekdayHourAndMinuteWithoutLeadingZeros) {
  setenv("TZ", "UTC0", 1);
  tzset();
  struct Case {
    std::int64_t calendarTime;
    const char* command;
  } cases[] = {
      {1798934400, "settime Day 0 hour 0 min 0\n"},         // Sunday 2027-01-03 00:00 UTC
      {1798934400 - 60, "settime Day 6 hour 23 min 59\n"},  // Saturday 23:59
      {1798934400 + 2 * 86400 + 14 * 3600 + 5 * 60, "settime Day 2 hour 14 min 5\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(ClockCommand(c.calendarTime), c.command);
  setenv("TZ", "CET-1", 1);  // the PC's own zone is what counts
  tzset();
  EXPECT_EQ(ClockCommand(1798934400), "settime Day 0 hour 1 min 0\n");
  unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace tavrin
