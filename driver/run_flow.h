#pragma once
// One run after the options: connect, report the robot's identity, do one action.
#include <string>

#include "driver/host_buffers.h"
#include "driver/options.h"
#include "robot_link/discovery.h"

namespace tavrin {

// A script line is read in pieces of at most this many characters.
constexpr std::size_t kScriptLineChars = 510;

void RunRobot(const RunOptions& options, HostBuffers& buffers);

void ReportIdentity(const VersionTable& table, HostBuffers& buffers);
void RunApiScript(const std::string& scriptFile);
// How a script piece is shown: without its last character, which is the line feed except on a
// last line without one or a piece of a long line (those lose a real character from the
// display only).
std::string ScriptCommandDisplay(const std::string& piece);
void SendPassThrough(const std::string& command, HostBuffers& buffers);

}  // namespace tavrin
