#pragma once
// Finding the robot's port by USB identity and reading the robot's identity.
#include <map>
#include <string>

#include "robot_link/robot_comm.h"

namespace tavrin {

// Component name to version text, in byte order of the names.
using VersionTable = std::map<std::string, std::string>;

// The robot's answer to "GetVersion\n" as a table; header and single-field lines carry nothing.
void ParseVersionAnswer(const std::string& answer, VersionTable& table);

// The COM number of a port on which a robot answers. Throws when none does.
int FindRobotPort();

// Opens `port` on `channel`, asks the robot for its identity and fills `table`. The port stays
// open, also after a failure past the opening.
void OpenRobotPort(RobotComm& channel, VersionTable& table, int port);

extern VersionTable g_versionTable;

}  // namespace tavrin
