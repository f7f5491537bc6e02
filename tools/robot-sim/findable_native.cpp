// Makes a device findable by the native port discovery: a ports folder of comN links and a
// sysfs fixture shaped like /sys.
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "robot_sim.h"

namespace robotsim {
namespace {

namespace fs = std::filesystem;

std::string Format(const char* pattern, unsigned value) {
  char text[32];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out.flush()) throw std::runtime_error("robot-sim: cannot write " + path.string());
}

void RequireAbsent(const fs::path& path) {
  std::error_code error;
  if (fs::exists(fs::symlink_status(path, error))) {
    throw std::runtime_error("robot-sim: " + path.string() + " already exists");
  }
}

// Removes what was made; folders shared with other simulated robots only once empty.
void RemoveFixture(const fs::path& link, const fs::path& ttyDir, const fs::path& usbDir,
                   const fs::path& sysfsRoot) {
  std::error_code ignored;
  fs::remove(link, ignored);
  fs::remove_all(ttyDir, ignored);
  fs::remove_all(usbDir, ignored);
  for (const char* shared : {"class/tty", "class", "devices/usb1", "devices"}) {
    fs::remove(sysfsRoot / shared, ignored);  // fails, as wanted, while not empty
  }
}

}  // namespace

Findable MakeFindableNative(const std::string& devicePath, const std::string& portsDir,
                            const std::string& sysfsRoot, int com, UsbId usb) {
  struct stat device {};
  if (stat(devicePath.c_str(), &device) != 0) {
    throw std::runtime_error("robot-sim: " + devicePath + ": " + std::strerror(errno));
  }
  const fs::path root(sysfsRoot);
  const std::string port = std::to_string(com);
  const std::string usbName = "1-" + port;
  const std::string ifaceName = usbName + ":1." + std::to_string(usb.iface < 0 ? 0 : usb.iface);
  const fs::path link = fs::path(portsDir) / ("com" + port);
  const fs::path ttyDir = root / "class/tty" / ("ttyACM" + port);
  const fs::path usbDir = root / "devices/usb1" / usbName;
  RequireAbsent(link);
  RequireAbsent(ttyDir);
  RequireAbsent(usbDir);

  try {
    fs::create_directories(portsDir);
    fs::create_directories(ttyDir);
    fs::create_directories(usbDir / ifaceName);
    WriteText(usbDir / "idVendor", Format("%04x\n", usb.vendor));
    WriteText(usbDir / "idProduct", Format("%04x\n", usb.product));
    WriteText(usbDir / ifaceName / "bInterfaceNumber",
              Format("%02x\n", static_cast<unsigned>(usb.iface < 0 ? 0 : usb.iface)));
    WriteText(ttyDir / "dev", std::to_string(major(device.st_rdev)) + ":" +
                                  std::to_string(minor(device.st_rdev)) + "\n");
    // Relative, as in the real /sys.
    fs::create_symlink(fs::path("../../../devices/usb1") / usbName / ifaceName, ttyDir / "device");
    fs::create_symlink(devicePath, link);
  } catch (const std::exception&) {
    RemoveFixture(link, ttyDir, usbDir, root);
    throw;
  }
  return Findable([=] { RemoveFixture(link, ttyDir, usbDir, root); });
}

Findable MakeFindableNative(const RobotSim& sim, const std::string& portsDir,
                            const std::string& sysfsRoot, int com, UsbId usb) {
  return MakeFindableNative(sim.SlavePath(), portsDir, sysfsRoot, com, usb);
}

}  // namespace robotsim
