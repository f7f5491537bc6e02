// Findability under Wine. Needs a Wine prefix: ROBOT_SIM_WINEPREFIX=/path/to/prefix.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "robot_sim.h"

namespace robotsim {
namespace {

namespace fs = std::filesystem;

std::string RegQuery(const std::string& prefix, const std::string& key) {
  const std::string command =
      "WINEPREFIX='" + prefix + "' WINEDEBUG=-all wine reg query '" + key + "' /s 2>/dev/null";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    pclose(pipe);
  }
  return output;
}

TEST(WineFindableTest, LinkAndRegistryEntriesComeAndGo) {
  const char* prefix = std::getenv("ROBOT_SIM_WINEPREFIX");
  if (prefix == nullptr || !fs::is_directory(prefix)) {
    GTEST_SKIP() << "set ROBOT_SIM_WINEPREFIX to a Wine prefix";
  }
  const std::string usbKey = "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_04e8&Pid_6850&MI_00";
  RobotSim sim;
  {
    Findable found = MakeFindableWine(sim, prefix, 41, UsbId::Secondary());
    EXPECT_EQ(fs::read_symlink(fs::path(prefix) / "dosdevices/com41"), sim.SlavePath());
    const std::string serialComm = RegQuery(prefix, "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM");
    EXPECT_NE(serialComm.find("TavrinSim41    REG_SZ    COM41"), std::string::npos) << serialComm;
    const std::string usb = RegQuery(prefix, usbKey);
    EXPECT_NE(usb.find("TavrinSim41\\Device Parameters"), std::string::npos) << usb;
    EXPECT_NE(usb.find("PortName    REG_SZ    COM41"), std::string::npos) << usb;
    EXPECT_NE(usb.find("FriendlyName    REG_SZ"), std::string::npos) << usb;
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(fs::path(prefix) / "dosdevices/com41")));
  EXPECT_EQ(RegQuery(prefix, "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM").find("TavrinSim41"),
            std::string::npos);
  EXPECT_EQ(RegQuery(prefix, usbKey).find("TavrinSim41"), std::string::npos);
}

}  // namespace
}  // namespace robotsim
