#include "install/command_line.h"

namespace install {

std::optional<std::string> InstallDirFromCommandLine(const std::string& commandLine) {
  const std::size_t option = commandLine.find("-p");
  if (option == std::string::npos) return std::nullopt;

  // Blanks right after "-p" stay: they are part of what the caller gave us.
  std::string folder = commandLine.substr(option + 2);
  // Only the blank is trimmed; a tab at the end is kept as part of the name.
  while (!folder.empty() && folder.back() == ' ') folder.pop_back();
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace install
