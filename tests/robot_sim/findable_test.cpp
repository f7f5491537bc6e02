// Findability: the ports folder and the sysfs fixture the native port discovery reads.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "robot_sim.h"

namespace robotsim {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class NativeFindableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/robot-sim-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    ports_ = root_ / "ports";
    sysfs_ = root_ / "sys";
  }
  void TearDown() override { fs::remove_all(root_); }

  // What the host does: comN -> device -> st_rdev, matched against class/tty/*/dev.
  void ExpectFixture(const RobotSim& sim, int com, const char* vendor, const char* product,
                     const char* iface) {
    const std::string n = std::to_string(com);
    EXPECT_EQ(fs::read_symlink(ports_ / ("com" + n)), sim.SlavePath());
    struct stat device {};
    ASSERT_EQ(stat((ports_ / ("com" + n)).c_str(), &device), 0);
    const fs::path tty = sysfs_ / "class/tty" / ("ttyACM" + n);
    EXPECT_EQ(ReadText(tty / "dev"), std::to_string(major(device.st_rdev)) + ":" +
                                         std::to_string(minor(device.st_rdev)) + "\n");
    const fs::path usbDevice = sysfs_ / "devices/usb1" / ("1-" + n);
    EXPECT_EQ(fs::canonical(tty / "device"),
              fs::canonical(usbDevice / ("1-" + n + ":1." + std::string(iface))));
    EXPECT_EQ(ReadText(usbDevice / "idVendor"), std::string(vendor) + "\n");
    EXPECT_EQ(ReadText(usbDevice / "idProduct"), std::string(product) + "\n");
    EXPECT_EQ(ReadText(fs::canonical(tty / "device") / "bInterfaceNumber"),
              "0" + std::string(iface) + "\n");
  }

  fs::path root_, ports_, sysfs_;
};

TEST_F(NativeFindableTest, TwoRobotsInOneFixtureAndEachUndoesOnlyItsOwn) {
  RobotSim first, second;
  Findable firstFound = MakeFindableNative(first, ports_, sysfs_, 3, UsbId::Primary());
  Findable secondFound = MakeFindableNative(second, ports_, sysfs_, 4, UsbId::Secondary());
  ExpectFixture(first, 3, "1209", "0001", "0");
  ExpectFixture(second, 4, "04e8", "6850", "0");

  firstFound.Undo();
  EXPECT_FALSE(fs::exists(fs::symlink_status(ports_ / "com3")));
  EXPECT_FALSE(fs::exists(sysfs_ / "class/tty/ttyACM3"));
  EXPECT_FALSE(fs::exists(sysfs_ / "devices/usb1/1-3"));
  ExpectFixture(second, 4, "04e8", "6850", "0");

  secondFound = Findable();  // destroying the handle undoes too
  EXPECT_TRUE(fs::is_empty(ports_));
  EXPECT_FALSE(fs::exists(sysfs_ / "class"));
  EXPECT_FALSE(fs::exists(sysfs_ / "devices"));
}

TEST_F(NativeFindableTest, InterfaceNumberFromTheIdentity) {
  RobotSim sim;
  Findable found = MakeFindableNative(sim, ports_, sysfs_, 12, UsbId::Parse("abcd:0002:3"));
  ExpectFixture(sim, 12, "abcd", "0002", "3");
}

TEST_F(NativeFindableTest, ATakenPortNumberIsRefusedAndLeftAlone) {
  RobotSim first, second;
  Findable found = MakeFindableNative(first, ports_, sysfs_, 5);
  EXPECT_THROW(MakeFindableNative(second, ports_, sysfs_, 5), std::runtime_error);
  ExpectFixture(first, 5, "1209", "0001", "0");
}

}  // namespace
}  // namespace robotsim
