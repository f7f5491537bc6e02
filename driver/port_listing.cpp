#include "driver/port_listing.h"

#include <cstdlib>
#include <string>

#include "diagnostics/log_stream.h"
#include "platform/port_enumeration.h"
#include "robot_link/usb_identity.h"

namespace tavrin {

void ShowSerialPorts() {
  std::string ports = platform::ListSerialPorts();
  ReportLine("Serial ports      - " + (ports.empty() ? std::string("(NONE)") : ports));
  std::string robotPort;
  for (const UsbIdentity& identity : kRobotUsbIdentities) {
    robotPort = platform::FindPortByUsbId(identity.vendor, identity.product, identity.usbInterface);
    if (!robotPort.empty()) break;
  }
  ReportLine("Robot serial port - " + (robotPort.empty() ? std::string("NOT FOUND") : robotPort));
  std::exit(1);
}

}  // namespace tavrin
