#pragma once
// Reading the installation folder out of Install's command line.
#include <optional>
#include <string>

namespace install {

// The folder named after the first "-p" in `commandLine` (the text after the program's own
// name), with blanks at its end and then one trailing backslash removed. Empty optional when
// the command line holds no "-p".
std::optional<std::string> InstallDirFromCommandLine(const std::string& commandLine);

}  // namespace install
