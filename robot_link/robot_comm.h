#pragma once
// The command channel to the robot: commands and raw blocks out, answers in 100 ms windows.
#include <cstdint>
#include <string>

#include "robot_link/serial.h"

namespace tavrin {

class RobotComm {
 public:
  virtual ~RobotComm() = default;  // the Serial's destructor closes the port

  void Send(const std::string& text) { serial.Write(text); }
  void Send(const void* data, std::uint32_t length) { serial.Write(data, length); }
  // Everything the robot sends within 100 ms from now, possibly nothing.
  std::string ReadResponse() { return serial.Read(0); }

  Serial serial;
};

// The channel every run uses; its port closes when the library unloads.
extern RobotComm g_robotComm;

}  // namespace tavrin
