// Hang-up faults: the robot closes its end and the host's side of the link fails.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ostream>
#include <thread>

#include "robot_sim.h"
#include "slave_port.h"

namespace robotsim {
namespace {

using testing::ByteSum;
using testing::MakeImage;
using testing::SlavePort;
using testing::Trailer;

constexpr size_t kImageSize = 40000;  // more than the pty holds

struct HangupCase {
  const char* name;
  const char* fault;
  bool sendUploadLine;
  bool expectReq;  // REQ reaches the host before the hang-up
  bool sendImage;
  uint64_t received;  // upload bytes the robot took
  size_t uploads;
};

// Test names, not bytes, in test listings.
void PrintTo(const HangupCase& c, std::ostream* out) { *out << c.name; }

class HangupTest : public ::testing::TestWithParam<HangupCase> {};

TEST_P(HangupTest, HostSeesTheLinkGo) {
  const HangupCase& c = GetParam();
  SimOptions options;
  options.faults.push_back(Fault::Parse(c.fault));
  RobotSim sim(options);
  SlavePort port(sim.SlavePath());
  const std::string image = MakeImage(kImageSize, kImageSize);

  ASSERT_TRUE(port.Send(c.sendUploadLine ? "Upload code 40004\n" : "GetVersion\n"));
  if (c.expectReq) {
    EXPECT_EQ(port.Read(1, 1000), std::string(1, static_cast<char>(kReq)));
  }
  if (c.sendImage) port.Send(image + Trailer(ByteSum(image)));  // fails part way

  EXPECT_TRUE(port.SeesHangup(2000));
  // The kernel finishes a pty's hang-up a moment after it reports it; writes fail from then on.
  bool sendFails = false;
  for (int attempt = 0; attempt < 100 && !sendFails; ++attempt) {
    sendFails = !port.Send("GetVersion\n");
    if (!sendFails) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(sendFails);
  const Transcript transcript = sim.GetTranscript();
  EXPECT_TRUE(transcript.hungUp);
  ASSERT_EQ(transcript.uploads.size(), c.uploads);
  if (c.uploads > 0) {
    EXPECT_EQ(transcript.uploads[0].received, c.received);
    EXPECT_EQ(transcript.uploads[0].end, UploadEnd::kHangup);
    EXPECT_EQ(transcript.uploads[0].verdict, Verdict::kNone);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, HangupTest,
    ::testing::Values(
        HangupCase{"OnCommand", "hangup-on-command", false, false, false, 0, 0},
        HangupCase{"RightAfterReq", "hangup-after-bytes=0", true, true, false, 0, 1},
        HangupCase{"AfterSomeBytes", "hangup-after-bytes=1000", true, true, true, 1000, 1},
        HangupCase{"InsteadOfVerdict", "hangup-in-verdict", true, true, true, kImageSize + 4, 1}),
    [](const ::testing::TestParamInfo<HangupCase>& info) { return info.param.name; });

// wineserver adopts a tty it opens as its controlling terminal when it can, and then gets
// SIGHUP (and dumps its objects) when the robot hangs up. The robot's own session owns it.
TEST(ControllingTerminalTest, ANewSessionOpeningTheSlaveDoesNotAdoptIt) {
  RobotSim sim;
  const std::string command =
      "setsid sh -c 'exec 3<>\"$0\"; cut -d\" \" -f7 /proc/$$/stat' " + sim.SlavePath();
  std::string ttyNumber;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[64];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) ttyNumber += buffer;
    pclose(pipe);
  }
  EXPECT_EQ(ttyNumber, "0\n");  // no controlling terminal
}

TEST(StopTest, StopIsIdempotentAndEndsARunningUpload) {
  RobotSim sim;
  SlavePort port(sim.SlavePath());
  ASSERT_TRUE(port.Send("Upload code 1004\n"));
  ASSERT_EQ(port.Read(1, 1000), std::string(1, static_cast<char>(kReq)));
  sim.Stop();
  sim.Stop();
  EXPECT_TRUE(port.SeesHangup(1000));
  EXPECT_TRUE(sim.WaitForUploadVerdict(0));
  EXPECT_EQ(sim.GetTranscript().uploads.at(0).end, UploadEnd::kStopped);
}

}  // namespace
}  // namespace robotsim
