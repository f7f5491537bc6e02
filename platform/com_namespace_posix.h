#pragma once
// POSIX has no COM ports; COM<n> names come from a folder of links named com<n>, the way
// Wine's dosdevices folder maps them. TAVRIN_PORTS names that folder; without it the
// serial devices present are numbered COM1 upward: real /dev/ttyS*, then /dev/ttyUSB*,
// then /dev/ttyACM*.
#include <string>
#include <utility>
#include <vector>

namespace tavrin::platform {

// COM numbers with the device paths they stand for, in ascending order, present devices only.
std::vector<std::pair<int, std::string>> ComPortsPresent();

// The device path of COM<number>, or an empty text when no such name exists.
std::string ComDevicePath(int number);

// The root of the sysfs tree: TAVRIN_SYSFS, or /sys.
std::string SysfsRoot();

}  // namespace tavrin::platform
