#pragma once
// The USB identities under which the robot's serial port appears, tried in this order.
#include <cstdint>

#ifndef TAVRIN_ROBOT_USB_VID
#define TAVRIN_ROBOT_USB_VID 0x1209
#endif
#ifndef TAVRIN_ROBOT_USB_PID
#define TAVRIN_ROBOT_USB_PID 0x0001
#endif

namespace tavrin {

struct UsbIdentity {
  std::uint16_t vendor;
  std::uint16_t product;
  int usbInterface;  // -1: the device as a whole, no interface part
};

// The robot's own pair is set at build time (CMake: TAVRIN_ROBOT_USB_VID/PID) so that an
// integrator can build for the real device; the second one is the robot's USB modem function.
constexpr UsbIdentity kRobotUsbIdentities[] = {
    {TAVRIN_ROBOT_USB_VID, TAVRIN_ROBOT_USB_PID, -1},
    {0x04E8, 0x6850, 0},
};

}  // namespace tavrin
