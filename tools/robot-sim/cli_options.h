// Command line of the robot-sim tool.
#ifndef TAVRIN_TOOLS_ROBOT_SIM_CLI_OPTIONS_H_
#define TAVRIN_TOOLS_ROBOT_SIM_CLI_OPTIONS_H_

#include <string>

#include "robot_sim.h"

namespace robotsim {

struct CliOptions {
  SimOptions sim;
  std::string transcriptPath;
  std::string portsDir;
  std::string sysfsRoot;
  std::string winePrefix;
  int com = -1;
  UsbId usb = UsbId::Primary();
  bool exitAfterUpload = false;
  bool help = false;
};

// Throws std::invalid_argument with a message for the user.
CliOptions ParseCommandLine(int argc, const char* const* argv);

const char* HelpText();

// Turns \n, \r, \t, \\ and \xHH into the bytes they stand for.
std::string Unescape(const std::string& text);

}  // namespace robotsim

#endif  // TAVRIN_TOOLS_ROBOT_SIM_CLI_OPTIONS_H_
