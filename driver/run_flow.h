#pragma once
// One run after the options: connect, report the robot's identity, do one action.
#include <string>

#include "driver/host_buffers.h"
#include "driver/options.h"
#include "robot_link/discovery.h"

namespace tavrin {

void RunRobot(const RunOptions& options, HostBuffers& buffers);

void ReportIdentity(const VersionTable& table, HostBuffers& buffers);
void RunApiScript(const std::string& scriptFile);
void SendPassThrough(const std::string& command, HostBuffers& buffers);

}  // namespace tavrin
