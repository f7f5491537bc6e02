#include "robot_link/discovery.h"

#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <vector>

#include "diagnostics/log_stream.h"
#include "diagnostics/log_writer.h"
#include "diagnostics/text_ops.h"
#include "platform/clock.h"
#include "platform/port_enumeration.h"
#include "robot_link/usb_identity.h"

namespace tavrin {

VersionTable g_versionTable;

namespace {

// What a silent robot, or one without a single identity entry, is reported as.
class UnknownAnswer : public std::exception {
 public:
  const char* what() const noexcept override { return "Unknown exception"; }
};

// The robot starts answering within 200 ms and is done within the read window after that.
constexpr std::uint32_t kVersionAnswerDelayMs = 200;

// The port of the first identity that is plugged in, as a COM number; none when no port is
// found or its name carries no number.
std::vector<int> CandidatePorts() {
  for (const UsbIdentity& identity : kRobotUsbIdentities) {
    std::string name =
        platform::FindPortByUsbId(identity.vendor, identity.product, identity.usbInterface);
    if (name.empty()) continue;
    if (name.size() > 3 && name[3] >= '0' && name[3] <= '9') return {std::atoi(name.c_str() + 3)};
    return {};
  }
  return {};
}

}  // namespace

void ParseVersionAnswer(const std::string& answer, VersionTable& table) {
  std::vector<std::string> lines;
  Split(Trim(answer), '\n', lines);
  for (const std::string& line : lines) {
    std::vector<std::string> fields;
    Split(line, ',', fields);
    if (fields.size() < 2 || fields[0] == "Component") continue;
    std::string value = fields[1];
    for (std::size_t i = 2; i < fields.size(); ++i) value += "," + fields[i];
    table[Trim(fields[0])] = value;
  }
}

int FindRobotPort() {
  LogPrintCat(cat::TRA, "FindRobotPort()");
  RobotComm probe;
  ReportLine("Searching for Robot Port ...");
  for (int candidate : CandidatePorts()) {
    VersionTable table;
    try {
      OpenRobotPort(probe, table, candidate);
      probe.serial.Close();
      return candidate;
    } catch (...) {
      // A port that fails the probe is simply not the robot's.
    }
  }
  throw std::runtime_error("No robot found connected to serial port.");
}

void OpenRobotPort(RobotComm& channel, VersionTable& table, int port) {
  LogPrintCat(cat::TRA, "OpenRobotPort() - iPort=%d", port);
  table.clear();
  channel.serial.Open(port, 115200, 1, 0, 0, 0);
  channel.Send("GetVersion\n");
  platform::SleepMs(kVersionAnswerDelayMs);
  std::string answer = channel.ReadResponse();
  if (answer.empty()) throw UnknownAnswer();
  ParseVersionAnswer(answer, table);
  if (table.empty()) throw UnknownAnswer();
  ReportLine(answer);
}

}  // namespace tavrin
