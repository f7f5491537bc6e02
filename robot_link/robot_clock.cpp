#include "robot_link/robot_clock.h"

#include <cstdio>

#include "diagnostics/log_stream.h"
#include "platform/clock.h"
#include "robot_link/robot_comm.h"

namespace tavrin {

std::string ClockCommand(std::int64_t calendarTime) {
  // The robot takes a failed conversion's values too; they are what it has always been sent.
  int day = 6;
  int hour = -1;
  int minute = -1;
  if (!platform::LocalWeekdayHourMinute(calendarTime, day, hour, minute)) {
    day = 6;
    hour = -1;
    minute = -1;
  }
  char command[128];
  std::snprintf(command, sizeof command, "settime Day %d hour %d min %d\n", day, hour, minute);
  return command;
}

void SetRobotClock() {
  g_robotComm.Send(ClockCommand(platform::CalendarTimeNow()));
  g_robotComm.serial.Close();
  ReportLine("Set time on robot to current time on PC.");
}

}  // namespace tavrin
