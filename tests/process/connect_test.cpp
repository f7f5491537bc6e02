// Connecting to the robot by port number: identity, clock, errors, traces.
#include <ctime>
#include <regex>
#include <thread>

#include "tests/process/robot_fixture.h"
#include "tests/support/test_settings.h"

namespace tavrin {
namespace {

using test::RobotRunTest;
using Lines = std::vector<std::string>;

class ConnectTest : public RobotRunTest {};

TEST_P(ConnectTest, ReportsTheIdentityAndFillsTheHostBuffers) {
  robotsim::SimOptions options;
  options.identity =
      "Component,Version\r\nSoftware,3.4.5\r\nModelID,TR-100\r\nSerial Number,SN-9\r\n"
      "component,low\r\n";
  StartRobot(options);
  auto result = target.Run({"-p", ComText()});
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find(options.identity + "\n\nRobot connected on COM" + ComText() +
                            "\n"
                            "  ModelID ...................... TR-100\r\n"
                            "  Serial Number ................ SN-9\r\n"
                            "  Software ..................... 3.4.5\r\n"
                            "  component .................... low\n"
                            "\n"
                            " Download file not specified.\n"),
            std::string::npos)
      << result.out;
  auto buffers = target.HostBuffers();
  EXPECT_EQ(buffers["result"], "Robot connected on COM");
  EXPECT_EQ(buffers["software"], "3.4.5\r");
  EXPECT_EQ(buffers["modelId"], "TR-100\r");
  EXPECT_EQ(buffers["serialNo"], "SN-9\r");
  EXPECT_EQ(
      buffers["info"],
      "ModelID =TR-100\r\r\nSerial Number =SN-9\r\r\nSoftware =3.4.5\r\r\ncomponent =low\r\n");
  EXPECT_EQ(result.exitStatus, 2);
  EXPECT_EQ(Robot().GetTranscript().commands, Lines{"GetVersion\n"});
}

TEST_P(ConnectTest, SetsTheClockFromThePcAndClosesThePort) {
  StartRobot();
  std::time_t before = std::time(nullptr);
  auto result = target.Run({"-p", ComText(), "-y", "-f", "ignored.bin", "--dbgflags", "TRA"});
  std::time_t after = std::time(nullptr);
  ASSERT_TRUE(Robot().WaitForCommands(2, 2000));
  std::string sent = Robot().GetTranscript().commands.at(1);
  auto expected = [](std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return "settime Day " + std::to_string(local.tm_wday) + " hour " +
           std::to_string(local.tm_hour) + " min " + std::to_string(local.tm_min) + "\n";
  };
  EXPECT_TRUE(sent == expected(before) || sent == expected(after)) << sent;
  EXPECT_TRUE(std::regex_search(result.out,
                                std::regex(" TRA Serial::Close\\(\\)\nSet time on robot to current "
                                           "time on PC\\.\n")))
      << result.out;
  EXPECT_EQ(result.out.find("Upload"),
            result.out.rfind("Upload"));  // no upload, one summary-less run
  EXPECT_EQ(Robot().GetTranscript().commands.size(), 2u);
}

TEST_P(ConnectTest, TracesAndDumpsEveryByte) {
  StartRobot();
  auto result = target.Run({"--dbgflags", "TRA,URT", "-p", ComText()});
  for (const std::string& expected :
       {" TRA OpenRobotPort() - iPort=" + ComText() + "\n", std::string(" TRA Serial::Open()\n"),
        std::string(
            " URT SND:   0: 47 65 74 56 65 72 73 69 6F 6E 0A                 GetVersion.     \n"),
        std::string(" TRA Serial::Read()\n"),
        std::string(" URT RCV:   0: 43 6F 6D 70 6F 6E 65 6E 74 2C 56 65 72 73 69 6F  "
                    "Component,Versio\n")}) {
    EXPECT_NE(result.out.find(expected), std::string::npos) << expected << result.out;
  }
}

TEST_P(ConnectTest, FailuresBeforeTheIdentityLeaveTheBuffersAlone) {
  // Wine reports a pty that hung up as a silent port, not as a failed read.
  const bool wine = GetParam() != test::Build::kNative;
  struct Case {
    const char* fault;
    std::string error;
  } cases[] = {
      {"silent", "Exception : Unknown exception\n"},
      {"garbage=300", "Exception : Unknown exception\n"},
      {"hangup-on-command",
       wine ? "Exception : Unknown exception\n" : "Exception : ReadChar() fail on ReadFile() - "},
  };
  for (const Case& c : cases) {
    StartRobot(WithFault(c.fault));
    auto result = target.Run({"-p", std::to_string(Com(&c - cases))});
    EXPECT_EQ(result.err.substr(0, c.error.size()), c.error) << c.fault;
    auto buffers = target.HostBuffers();
    EXPECT_EQ(buffers["result"], "") << c.fault;
    EXPECT_EQ(buffers["info"], "") << c.fault;
    EXPECT_EQ(result.exitStatus, 3) << c.fault;
  }
}

TEST_P(ConnectTest, OversizedIdentityStaysWithinEveryBuffer) {
  robotsim::SimOptions options = WithFault("oversized=5000");
  StartRobot(options);
  auto result = target.Run({"-p", ComText()});
  EXPECT_EQ(result.err, "");
  auto buffers = target.HostBuffers();
  EXPECT_EQ(buffers["result"], "Robot connected on COM");
  EXPECT_LE(buffers["info"].size(), 998u);
  for (const char* name : {"software", "modelId", "serialNo"}) {
    EXPECT_LE(buffers[name].size(), 999u) << name;
  }
  EXPECT_EQ(result.signal, 0);
}

TEST_P(ConnectTest, APortHeldByAnotherRunIsBusy) {
  if (GetParam() != test::Build::kNative) {
    GTEST_SKIP() << "Wine does not keep a second process out of an open serial device";
  }
  StartRobot(WithFault("no-verdict"));
  std::string image = target.WorkFolder() + "/held.bin";
  test::WriteFileBytes(image, std::string(100, 'h'));
  test::TempFolder holderFolder;
  std::thread holding([&] {
    target.Run({"-p", ComText(), "-f", target.FilePath(image), "-t", "sound"}, 60,
               holderFolder.path());
  });
  bool uploading = Robot().WaitForCommands(2, 5000 + static_cast<int>(1000 * test::TimeSlack()));
  auto result = target.Run({"-p", ComText()});
  holding.join();
  ASSERT_TRUE(uploading);
  EXPECT_EQ(result.err.rfind("Exception : Open() fail on CreateFile() - ", 0), 0u) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Builds, ConnectTest, ::testing::ValuesIn(test::FullTestBuilds()),
                         test::ParamName);

}  // namespace
}  // namespace tavrin
