#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "platform/com_namespace_posix.h"
#include "platform/port_enumeration.h"

// Which tty belongs to which USB device is read from sysfs: class/tty/<name>/dev holds the
// device number, class/tty/<name>/device leads to the USB interface folder (bInterfaceNumber)
// or to a port folder below it, and the interface's parent is the USB device (idVendor,
// idProduct). A COM name matches when its device node has that device number.

namespace tavrin::platform {
namespace {

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] != '.') names.push_back(entry->d_name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool ReadHex(const std::string& path, unsigned& value) {
  std::ifstream file(path);
  return static_cast<bool>(file >> std::hex >> value);
}

bool ReadDeviceNumber(const std::string& path, dev_t& number) {
  std::ifstream file(path);
  unsigned major = 0;
  unsigned minor = 0;
  char colon = 0;
  if (!(file >> major >> colon >> minor) || colon != ':') return false;
  number = makedev(major, minor);
  return true;
}

std::string ParentOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

// True when the tty's device folder sits below an interface of the wanted USB device.
bool BelongsToUsbDevice(const std::string& ttyFolder, unsigned vendor, unsigned product,
                        int usbInterface) {
  char resolved[PATH_MAX];
  if (realpath((ttyFolder + "/device").c_str(), resolved) == nullptr) return false;
  // ttyACM: device is the interface; ttyUSB: device is a port folder below the interface.
  std::string folder = resolved;
  for (int depth = 0; depth < 3 && !folder.empty(); ++depth, folder = ParentOf(folder)) {
    unsigned number = 0;
    if (!ReadHex(folder + "/bInterfaceNumber", number)) continue;
    std::string usbDevice = ParentOf(folder);
    unsigned idVendor = 0;
    unsigned idProduct = 0;
    return ReadHex(usbDevice + "/idVendor", idVendor) &&
           ReadHex(usbDevice + "/idProduct", idProduct) && idVendor == vendor &&
           idProduct == product && (usbInterface == -1 || static_cast<int>(number) == usbInterface);
  }
  return false;
}

std::string ComNameOfDevice(dev_t number) {
  for (const auto& port : ComPortsPresent()) {
    struct stat status {};
    if (stat(port.second.c_str(), &status) == 0 && S_ISCHR(status.st_mode) &&
        status.st_rdev == number) {
      return "COM" + std::to_string(port.first);
    }
  }
  return std::string();
}

}  // namespace

std::string ListSerialPorts() {
  std::string list;
  for (const auto& port : ComPortsPresent()) list += "'COM" + std::to_string(port.first) + "'";
  return list;
}

std::string FindPortByUsbId(std::uint16_t vendor, std::uint16_t product, int usbInterface) {
  if (ListSerialPorts().empty()) return std::string();
  const std::string ttyClass = SysfsRoot() + "/class/tty";
  for (const std::string& tty : FolderEntries(ttyClass)) {
    const std::string folder = ttyClass + "/" + tty;
    dev_t number{};
    if (!ReadDeviceNumber(folder + "/dev", number)) continue;
    if (!BelongsToUsbDevice(folder, vendor, product, usbInterface)) continue;
    std::string name = ComNameOfDevice(number);
    if (!name.empty()) return name;  // a device that is not in the COM namespace is passed over
  }
  return std::string();
}

}  // namespace tavrin::platform
