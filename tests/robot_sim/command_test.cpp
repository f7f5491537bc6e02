// Command lines and their answers, as the host sees them on the slave.
#include <gtest/gtest.h>

#include <ostream>

#include "robot_sim.h"
#include "slave_port.h"

namespace robotsim {
namespace {

using testing::SlavePort;

// Longer than the robot needs to answer, shorter than the host's 200 ms wait.
constexpr int kAnswerWindowMs = 150;

struct CommandCase {
  const char* name;
  std::string sent;
  std::string answer;
};

// Test names, not bytes, in test listings.
void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

class CommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandTest, AnswersAndRecordsTheRawLine) {
  SimOptions options;
  options.answers["Clean\n"] = "";  // known, answered with silence
  RobotSim sim(options);
  SlavePort port(sim.SlavePath());

  ASSERT_TRUE(port.Send(GetParam().sent));
  EXPECT_EQ(EscapeBytes(port.ReadFor(kAnswerWindowMs)), EscapeBytes(GetParam().answer));
  ASSERT_TRUE(sim.WaitForCommands(1, 1000));
  EXPECT_EQ(sim.GetTranscript().commands, std::vector<std::string>{GetParam().sent});
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandTest,
    ::testing::Values(CommandCase{"GetVersion", "GetVersion\n", kDefaultIdentity},
                      CommandCase{"TableEntry", "GetCharger\n", "FuelPercent,87\n"},
                      CommandCase{"TableEntryWithoutAnswer", "Clean\n", ""},
                      CommandCase{"Unknown", "Dance now\n", "Unknown Cmd: 'Dance now'\n"},
                      CommandCase{"CarriageReturnIsPartOfTheLine", "GetVersion\r\n",
                                  "Unknown Cmd: 'GetVersion\r'\n"},
                      CommandCase{"EmptyLine", "\n", ""},
                      CommandCase{"SetTime", "settime Day 3 hour 14 min 5\n", ""},
                      CommandCase{"SetTimeOutOfRange", "settime Day 3 hour 24 min 5\n",
                                  "Unknown Cmd: 'settime Day 3 hour 24 min 5'\n"},
                      CommandCase{"SetTimeZeroPadded", "settime Day 3 hour 04 min 5\n",
                                  "Unknown Cmd: 'settime Day 3 hour 04 min 5'\n"},
                      CommandCase{"UploadWithoutLength", "Upload code\n",
                                  "Unknown Cmd: 'Upload code'\n"},
                      CommandCase{"UploadShorterThanTrailer", "Upload code 3\n",
                                  "Unknown Cmd: 'Upload code 3'\n"}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return info.param.name; });

TEST(CommandStreamTest, LinesSplitAcrossWritesAndJoinedInOneWrite) {
  RobotSim sim;
  SlavePort port(sim.SlavePath());
  ASSERT_TRUE(port.Send("GetVer"));
  EXPECT_EQ(port.ReadFor(50), "");
  EXPECT_EQ(sim.GetTranscript().partialLine, "GetVer");
  ASSERT_TRUE(port.Send("sion\nGetCharger\n"));
  EXPECT_EQ(port.ReadFor(kAnswerWindowMs), std::string(kDefaultIdentity) + "FuelPercent,87\n");
  EXPECT_EQ(sim.GetTranscript().commands,
            (std::vector<std::string>{"GetVersion\n", "GetCharger\n"}));
  EXPECT_EQ(sim.GetTranscript().partialLine, "");
}

TEST(CommandStreamTest, CustomIdentity) {
  SimOptions options;
  options.identity = "Component,Version\nSoftware,9.9.9\n";
  RobotSim sim(options);
  SlavePort port(sim.SlavePath());
  ASSERT_TRUE(port.Send("GetVersion\n"));
  EXPECT_EQ(port.ReadFor(kAnswerWindowMs), options.identity);
}

// Identity faults, seen through the host's timing: send, wait 200 ms, read for 100 ms.
struct TimingCase {
  const char* name;
  const char* fault;
  std::string inFirstWindow;  // within 300 ms of the command
  std::string later;          // in the next 700 ms
};

// Test names, not bytes, in test listings.
void PrintTo(const TimingCase& c, std::ostream* out) { *out << c.name; }

class IdentityTimingTest : public ::testing::TestWithParam<TimingCase> {};

TEST_P(IdentityTimingTest, AnswerArrivesWhenTheFaultSays) {
  SimOptions options;
  options.faults.push_back(Fault::Parse(GetParam().fault));
  RobotSim sim(options);
  SlavePort port(sim.SlavePath());
  ASSERT_TRUE(port.Send("GetVersion\n"));
  EXPECT_EQ(port.ReadFor(300), GetParam().inFirstWindow);
  EXPECT_EQ(port.ReadFor(700), GetParam().later);
}

const std::string kIdentity = kDefaultIdentity;

INSTANTIATE_TEST_SUITE_P(
    Faults, IdentityTimingTest,
    ::testing::Values(TimingCase{"Late", "late=600", "", kIdentity},
                      TimingCase{"Split", "split=600", kIdentity.substr(0, kIdentity.size() / 2),
                                 kIdentity.substr(kIdentity.size() / 2)},
                      TimingCase{"Silent", "silent", "", ""},
                      TimingCase{"HangupOnCommand", "hangup-on-command", "", ""}),
    [](const ::testing::TestParamInfo<TimingCase>& info) { return info.param.name; });

TEST(IdentityFaultTest, GarbageHasNoCommaButZeroAndFfBytes) {
  SimOptions options;
  options.faults.push_back(Fault::Parse("garbage=200"));
  RobotSim sim(options);
  SlavePort port(sim.SlavePath());
  ASSERT_TRUE(port.Send("GetVersion\n"));
  const std::string answer = port.Read(200, 1000);
  ASSERT_EQ(answer.size(), 200u);
  EXPECT_EQ(answer.find(','), std::string::npos);
  EXPECT_NE(answer.find('\x00'), std::string::npos);
  EXPECT_NE(answer.find('\xff'), std::string::npos);
}

TEST(IdentityFaultTest, OversizedIsAValidHeaderAndLongLinesOfExactlyTheSize) {
  SimOptions options;
  options.faults.push_back(Fault::Parse("oversized"));
  RobotSim sim(options);
  SlavePort port(sim.SlavePath());
  ASSERT_TRUE(port.Send("GetVersion\n"));
  const std::string answer = port.ReadFor(300);
  ASSERT_EQ(answer.size(), 5000u);
  EXPECT_EQ(answer.rfind("Component,Version\n", 0), 0u);
  EXPECT_EQ(answer.back(), '\n');
  const size_t secondLineEnd = answer.find('\n', 18);
  EXPECT_GT(secondLineEnd - 18, 255u);  // longer than any sane key,value line
}

}  // namespace
}  // namespace robotsim
