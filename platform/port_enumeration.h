#pragma once
// Which serial ports exist now, and which of them belongs to a USB device. Read-only: nothing
// here opens a port.
#include <cstdint>
#include <string>

namespace tavrin::platform {

// The ports present as one text of quoted names, 'COM1''COM3', in the system's order;
// empty when there are none or the list cannot be read.
std::string ListSerialPorts();

// The upper-cased name (COM7) of a port that is present now and belongs to the USB device,
// or an empty text. usbInterface -1 matches the device as a whole.
std::string FindPortByUsbId(std::uint16_t vendor, std::uint16_t product, int usbInterface);

// True when `list` holds `name` as a whole entry, whatever the case of either.
bool PortListHolds(const std::string& list, const std::string& name);

}  // namespace tavrin::platform
