#include "platform/com_namespace_posix.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace tavrin::platform {
namespace {

bool Exists(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0;
}

// The names prefix<n> in `folder` with their numbers n, ascending.
std::vector<std::pair<int, std::string>> NumberedEntries(const std::string& folder,
                                                         const std::string& prefix,
                                                         bool ignoreCase) {
  std::vector<std::pair<int, std::string>> numbers;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return numbers;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() <= prefix.size()) continue;
    std::string head = name.substr(0, prefix.size());
    if (ignoreCase) std::transform(head.begin(), head.end(), head.begin(), ::tolower);
    std::string digits = name.substr(prefix.size());
    if (head != prefix || digits.find_first_not_of("0123456789") != std::string::npos) continue;
    if (digits.size() > 6 || (digits.size() > 1 && digits[0] == '0')) continue;
    numbers.emplace_back(std::atoi(digits.c_str()), name);
  }
  closedir(dir);
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

// The kernel keeps ttyS placeholders for UARTs that are not there; their type reads 0.
bool IsRealUart(const std::string& name) {
  std::ifstream type(SysfsRoot() + "/class/tty/" + name + "/type");
  int value = 0;
  return (type >> value) && value != 0;
}

std::vector<std::pair<int, std::string>> DefaultNamespace() {
  std::vector<std::pair<int, std::string>> ports;
  int next = 1;
  for (const char* family : {"ttyS", "ttyUSB", "ttyACM"}) {
    for (const auto& entry : NumberedEntries("/dev", family, false)) {
      const std::string& name = entry.second;
      if (std::string(family) == "ttyS" && !IsRealUart(name)) continue;
      ports.emplace_back(next++, "/dev/" + name);
    }
  }
  return ports;
}

}  // namespace

std::string SysfsRoot() {
  const char* root = std::getenv("TAVRIN_SYSFS");
  return (root != nullptr && *root != '\0') ? root : "/sys";
}

std::vector<std::pair<int, std::string>> ComPortsPresent() {
  const char* folder = std::getenv("TAVRIN_PORTS");
  if (folder == nullptr || *folder == '\0') return DefaultNamespace();
  std::vector<std::pair<int, std::string>> ports;
  for (const auto& entry : NumberedEntries(folder, "com", true)) {
    std::string path = std::string(folder) + "/" + entry.second;
    if (Exists(path)) ports.emplace_back(entry.first, path);
  }
  return ports;
}

std::string ComDevicePath(int number) {
  const char* folder = std::getenv("TAVRIN_PORTS");
  if (folder != nullptr && *folder != '\0') {
    // A name that is there but whose device is gone still opens, and fails, as that name.
    for (const auto& entry : NumberedEntries(folder, "com", true)) {
      if (entry.first == number) return std::string(folder) + "/" + entry.second;
    }
    return std::string();
  }
  for (const auto& port : DefaultNamespace()) {
    if (port.first == number) return port.second;
  }
  return std::string();
}

}  // namespace tavrin::platform
