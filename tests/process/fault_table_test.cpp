// One row per way the robot can fail a run, at every step of an upload. Each row must end with
// a clear error (or the robot's own verdict) within the step's time bound plus a second, never
// report "Upload OK" without the robot's ACK, and leave the library able to make the next call.
#include <ostream>

#include "tests/process/robot_fixture.h"
#include "tests/support/test_settings.h"

namespace tavrin {
namespace {

using test::Build;

struct FaultRow {
  std::string name;
  std::vector<std::string> faults;
  bool blastWithAck = false;
  // The first call ends with one of these on standard error; none: no error at all.
  std::vector<std::string> errors;
  std::string reportLine;   // a line the run prints, if any
  double boundSeconds = 0;  // the step's own time bound
};

void PrintTo(const FaultRow& row, std::ostream* out) { *out << row.name; }

const std::string kHungUpWrite = "Exception : Write() fail on WriteFile() - ";
const std::string kHungUpRead = "Exception : ReadChar() fail on ReadFile() - ";
const std::string kNoReq =
    "Exception : Timeout waiting for REQ handshake character from robot before file blast";
const std::string kNoVerdict =
    "Exception : Timeout waiting for ACK/NAK handshake character from robot after upload.";
const std::string kNoBlockAck =
    "Exception : Timeout waiting for ACK handshake during blast from robot";
const std::string kSilent = "Exception : Unknown exception";

std::vector<FaultRow> Rows() {
  std::vector<FaultRow> rows = {
      {"identity_silent", {"silent"}, false, {kSilent}, "", 0.3},
      {"identity_garbage", {"garbage=400"}, false, {kSilent}, "", 0.3},
      {"identity_late", {"late=600"}, false, {kSilent}, "", 0.3},
      // Wine reports a pty that hung up as a port that stays silent.
      {"identity_hangup", {"hangup-on-command"}, false, {kHungUpRead, kSilent}, "", 0.3},
      {"req_missing", {"no-req"}, false, {kNoReq}, "", 1.5},
      {"req_garbage", {"garbage-req"}, false, {kNoReq}, "", 1.5},
      {"verdict_nak", {"nak"}, false, {}, "RB-40 Reported Upload failed.", 0.1},
      {"verdict_missing", {"no-verdict"}, false, {kNoVerdict}, "", 10},
      {"verdict_hangup", {"hangup-in-verdict"}, false, {kHungUpRead, kNoVerdict}, "", 10},
      {"slow_robot_accepts", {"slow-reader=65536"}, false, {}, "Upload completed OK.", 1},
      {"block_ack_missing", {"no-block-ack"}, true, {kNoBlockAck}, "", 4.5},
      {"block_ack_nak_only", {"nak", "no-block-ack"}, true, {kNoBlockAck}, "", 4.5},
      {"block_ack_hangup",
       {"hangup-after-bytes=16384"},
       true,
       {kHungUpRead, kHungUpWrite, kNoBlockAck},
       "",
       4.5},
  };
  // A hang-up at every chunk boundary up to the first full block (0: right after REQ).
  for (int bytes = 0; bytes <= 16384; bytes += 512) {
    rows.push_back({"hangup_after_" + std::to_string(bytes),
                    {"hangup-after-bytes=" + std::to_string(bytes)},
                    false,
                    {kHungUpWrite, kHungUpRead, kNoVerdict},
                    "",
                    10});
  }
  rows.push_back({"hangup_after_1",
                  {"hangup-after-bytes=1"},
                  false,
                  {kHungUpWrite, kHungUpRead, kNoVerdict},
                  "",
                  10});
  return rows;
}

class FaultTableTest : public ::testing::TestWithParam<std::tuple<Build, FaultRow>> {
 protected:
  void SetUp() override {
    if (!target.Available()) GTEST_SKIP() << "build not given";
  }
  test::UploadTarget target{std::get<0>(GetParam())};
};

bool StartsWithAny(const std::string& text, const std::vector<std::string>& prefixes) {
  for (const std::string& prefix : prefixes) {
    if (text.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

TEST_P(FaultTableTest, EndsClearlyInTimeAndTheNextCallWorks) {
  const FaultRow& row = std::get<1>(GetParam());
  robotsim::SimOptions faulty;
  for (const std::string& fault : row.faults)
    faulty.faults.push_back(robotsim::Fault::Parse(fault));
  faulty.blockAck = row.blastWithAck;
  robotsim::RobotSim robot(faulty);
  robotsim::RobotSim healthy;
  const int faultyCom = target.FreeComNumber();
  const int healthyCom = target.FreeComNumber();
  auto first = target.Attach(robot.SlavePath(), faultyCom);
  auto second = target.Attach(healthy.SlavePath(), healthyCom);

  const std::string image = target.WorkFolder() + "/image.bin";
  test::WriteFileBytes(image, std::string(40000, '\x5A'));
  std::vector<std::string> words = {"-p", std::to_string(faultyCom), "-f", target.FilePath(image)};
  if (row.blastWithAck) words.push_back("--blastack");
  words.insert(words.end(), {"--then", "-p", std::to_string(healthyCom), "-c", "GetCharger"});
  auto result = target.RunCallTwice(words, 60);

  // Connecting, a probe and the second call take well under a second each.
  EXPECT_LE(result.seconds, row.boundSeconds + 1 + 2.5 + test::TimeSlack()) << result.out;
  if (row.errors.empty()) {
    EXPECT_EQ(result.err, "");
  } else {
    EXPECT_TRUE(StartsWithAny(result.err, row.errors)) << result.err;
    EXPECT_EQ(result.err.find("Exception : ", 1), std::string::npos) << "one error only";
  }
  if (!row.reportLine.empty()) {
    EXPECT_NE(result.out.find("\n" + row.reportLine + "\n"), std::string::npos) << result.out;
  }
  robot.Stop();
  bool acked = false;
  for (const auto& upload : robot.GetTranscript().uploads) {
    acked = acked || upload.verdict == robotsim::Verdict::kAck;
  }
  const bool uploadOk = result.out.find("CALL 1 RESULT [Upload OK]") != std::string::npos;
  EXPECT_TRUE(!uploadOk || acked) << "Upload OK without the robot's ACK";
  EXPECT_NE(result.out.find("CALL 2 RESULT [Robot connected on COM"), std::string::npos)
      << result.out;
  EXPECT_EQ(result.exitStatus, 0);
}

std::string RowName(const ::testing::TestParamInfo<std::tuple<Build, FaultRow>>& info) {
  return test::BuildName(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTableTest,
                         ::testing::Combine(::testing::ValuesIn(test::FullTestBuilds()),
                                            ::testing::ValuesIn(Rows())),
                         RowName);

}  // namespace
}  // namespace tavrin
