#pragma once

namespace tavrin {

// Prints the serial ports and the robot's port, then ends the process with status 1.
[[noreturn]] void ShowSerialPorts();

}  // namespace tavrin
