#pragma once
#include <cstdint>
#include <string>

namespace tavrin {

// The clock command for a calendar time: the PC's local day of week, hour and minute.
std::string ClockCommand(std::int64_t calendarTime);

// Sets the robot's clock from the PC's and closes the port; no answer is read.
void SetRobotClock();

}  // namespace tavrin
