// Finding the robot by its USB identity, and listing the ports. On Windows these tests share
// the registry, so ctest runs them one at a time (resource lock "wine_registry").
#include "tests/process/robot_fixture.h"
#include "tests/support/wine.h"

namespace tavrin {
namespace {

using robotsim::UsbId;
using test::Build;
using Lines = std::vector<std::string>;

class DiscoveryTest : public test::RobotRunTest {
 protected:
  void SetUp() override {
    RobotRunTest::SetUp();
    if (IsSkipped()) return;
    // Wine lists the ports it made itself (com1 for /dev/ttyS0): start from none.
    if (GetParam() != Build::kNative) {
      // Only the values: the key itself is volatile and only Wine can make it again.
      test::RunProcess(
          test::WineSpec("reg", {"delete", "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM", "/va", "/f"}));
    }
  }
};

TEST_P(DiscoveryTest, FindsTheRobotByItsUsbIdentityAndProbesItFirst) {
  StartRobot({}, UsbId::Secondary());
  auto result = target.Run({"-a"});
  EXPECT_EQ(result.err, "");
  // The probe and the connection each print the robot's answer.
  const std::string answer = std::string(robotsim::kDefaultIdentity) + "\n";
  EXPECT_EQ(result.out.rfind("Searching for Robot Port ...\n" + answer + answer +
                                 "\nRobot connected on COM" + ComText() + "\n",
                             0),
            0u)
      << result.out;
  EXPECT_EQ(Robot().GetTranscript().commands, (Lines{"GetVersion\n", "GetVersion\n"}));
  EXPECT_EQ(target.HostBuffers()["software"], "3.4.5");
}

TEST_P(DiscoveryTest, TheRobotsOwnIdentityComesFirst) {
  StartRobot({}, UsbId::Secondary());
  StartRobot({}, UsbId::Primary());
  auto result = target.Run({"--dbgflags", "TRA"});
  EXPECT_NE(result.out.find("Robot connected on COM" + ComText(1) + "\n"), std::string::npos)
      << result.out;
  EXPECT_TRUE(Robot(0).GetTranscript().commands.empty());
  EXPECT_NE(result.out.find(" TRA FindRobotPort()\n"), std::string::npos);
}

TEST_P(DiscoveryTest, RobotThatDoesNotAnswerIsNotFound) {
  StartRobot(WithFault("silent"), UsbId::Primary());
  auto result = target.Run({"-a"});
  EXPECT_EQ(result.err, "Exception : No robot found connected to serial port.\n");
  EXPECT_EQ(target.HostBuffers()["result"], "");
  EXPECT_EQ(result.exitStatus, 3);
}

TEST_P(DiscoveryTest, ListsThePortsAndTheRobotsPortThenEnds) {
  auto none = target.Run({"--seria"});
  EXPECT_EQ(none.out, "Serial ports      - (NONE)\nRobot serial port - NOT FOUND\n");
  EXPECT_EQ(none.exitStatus, 1);
  StartRobot({}, UsbId::Secondary());
  auto listed = target.Run({"--seria", "-p", "5"});
  EXPECT_EQ(listed.out, "Serial ports      - 'COM" + ComText() + "'\nRobot serial port - COM" +
                            ComText() + "\n");
  EXPECT_EQ(listed.exitStatus, 1);
  EXPECT_TRUE(Robot().GetTranscript().commands.empty());  // listing opens no port
}

INSTANTIATE_TEST_SUITE_P(Builds, DiscoveryTest, ::testing::ValuesIn(test::FullTestBuilds()),
                         test::ParamName);

}  // namespace
}  // namespace tavrin
