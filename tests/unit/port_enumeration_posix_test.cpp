#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/port_enumeration.h"
#include "tests/support/process_runner.h"

namespace tavrin {
namespace {

using test::TempFolder;
using test::WriteFileBytes;

// A ports folder and a sysfs tree laid out as Linux lays them out. Character devices that
// every system has stand in for serial ports: only their device numbers matter.
class PortFixture : public ::testing::Test {
 protected:
  PortFixture() {
    setenv("TAVRIN_PORTS", ports.path().c_str(), 1);
    setenv("TAVRIN_SYSFS", sysfs.path().c_str(), 1);
  }
  ~PortFixture() override {
    unsetenv("TAVRIN_PORTS");
    unsetenv("TAVRIN_SYSFS");
  }
  void Link(const std::string& name, const std::string& target) {
    ASSERT_EQ(symlink(target.c_str(), (ports / name).c_str()), 0);
  }
  // A tty of USB device `usb` on `iface`; asPortFolder puts a usb-serial port folder between.
  void UsbTty(const std::string& tty, const std::string& devNumber, const std::string& usb,
              const char* vendor, const char* product, int iface, bool asPortFolder = false) {
    std::string device = sysfs / ("devices/" + usb);
    std::string interface = device + "/" + usb + ":1." + std::to_string(iface);
    std::string target = asPortFolder ? interface + "/" + tty : interface;
    MakeFolders(target);
    WriteFileBytes(device + "/idVendor", std::string(vendor) + "\n");
    WriteFileBytes(device + "/idProduct", std::string(product) + "\n");
    WriteFileBytes(interface + "/bInterfaceNumber", "0" + std::to_string(iface) + "\n");
    std::string ttyFolder = sysfs / ("class/tty/" + tty);
    MakeFolders(ttyFolder);
    WriteFileBytes(ttyFolder + "/dev", devNumber + "\n");
    ASSERT_EQ(symlink(target.c_str(), (ttyFolder + "/device").c_str()), 0);
  }
  static void MakeFolders(const std::string& path) {
    ASSERT_EQ(std::system(("mkdir -p '" + path + "'").c_str()), 0);
  }
  TempFolder ports;
  TempFolder sysfs;
};

TEST_F(PortFixture, NoPortsMeansAnEmptyListAndNoMatch) {
  UsbTty("ttyACM0", "1:3", "1-1", "04e8", "6850", 0);
  EXPECT_EQ(platform::ListSerialPorts(), "");
  EXPECT_EQ(platform::FindPortByUsbId(0x04E8, 0x6850, 0), "");
}

TEST_F(PortFixture, ListsPresentPortsInNumberOrder) {
  Link("com10", "/dev/zero");
  Link("com1", "/dev/null");
  Link("com3", "/dev/no-such-device");  // unplugged
  Link("COM4", "/dev/full");
  Link("comX", "/dev/full");
  EXPECT_EQ(platform::ListSerialPorts(), "'COM1''COM4''COM10'");
}

TEST_F(PortFixture, FindsThePortOfAUsbDeviceByItsDeviceNumber) {
  Link("com1", "/dev/null");
  Link("com10", "/dev/zero");
  UsbTty("ttyACM0", "1:3", "1-1", "04e8", "6850", 0);        // /dev/null is 1:3
  UsbTty("ttyUSB0", "1:5", "1-2", "1209", "0001", 0, true);  // /dev/zero is 1:5
  EXPECT_EQ(platform::FindPortByUsbId(0x04E8, 0x6850, 0), "COM1");
  EXPECT_EQ(platform::FindPortByUsbId(0x04E8, 0x6850, -1), "COM1");
  EXPECT_EQ(platform::FindPortByUsbId(0x04E8, 0x6850, 1), "");
  EXPECT_EQ(platform::FindPortByUsbId(0x1209, 0x0001, -1), "COM10");
  EXPECT_EQ(platform::FindPortByUsbId(0x1209, 0x0002, -1), "");
}

TEST_F(PortFixture, DeviceOutsideTheComNamespaceIsPassedOver) {
  Link("com2", "/dev/null");
  UsbTty("ttyACM3", "1:7", "1-1", "04e8", "6850", 0);  // /dev/full, not linked
  EXPECT_EQ(platform::FindPortByUsbId(0x04E8, 0x6850, 0), "");
}

TEST(PortList, EntriesMatchWholeAndWithoutRegardToCase) {
  EXPECT_TRUE(platform::PortListHolds("'COM10''COM1'", "COM1"));
  EXPECT_FALSE(platform::PortListHolds("'COM10'", "COM1"));
  EXPECT_TRUE(platform::PortListHolds("'COM5'", "com5"));
  EXPECT_FALSE(platform::PortListHolds("", "COM5"));
}

}  // namespace
}  // namespace tavrin
