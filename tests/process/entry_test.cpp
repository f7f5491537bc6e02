// The entry point as a user meets it: usage text, log options and errors, on every build.
#include <gtest/gtest.h>

#include <regex>

#include "tests/support/test_settings.h"
#include "tests/support/upload_target.h"

namespace tavrin {
namespace {

using test::Build;
using test::UploadTarget;

const char kUsage[] =
    "\n"
    "Upload.exe SW_EmbeddedRev_15220\n"
    "Usage: Upload <params>\n"
    "  -a            : auto-find the robot serial port to use. (default is on)\n"
    "  -p <port>     : set robot serial port. Will disable -a option\n"
    "  -t <type>     : type of upload section; code, sound or LDS allowed (default code)\n"
    "  -f <file>     : set file to upload. Must be set for command line upload.\n"
    "  -c            : send the rest of the command line directly to the robot.\n"
    "  -y            : set the current time on the robot from the PC\n"
    "  -r            : Reboot the robot after upload completes.\n"
    "  -k            : Disable the REQ/ACK/NAK handshake with robot.\n"
    "\n"
    "  Debug options\n"
    "  --dbglog      : log debug info to standard output\n"
    "  --dbgflags <Arg,...>  : enable additional log messages. URT, TRA, DB1 are legal.\n"
    "  --serial      : show serial ports and exit.\n"
    "  --blastack    : use the blast with ACK protocol in uploads.\n"
    "  --APIscriptfile   : next argument is name of scriptfile of API commands to execute.\n";

const char kStamp[] = R"(\[\d{4,}\] [ \d]\d:\d\d:\d\d\.\d{3})";

class EntryTest : public ::testing::TestWithParam<Build> {
 protected:
  void SetUp() override {
    if (!target.Available()) GTEST_SKIP() << "build not given";
  }
  UploadTarget target{GetParam()};
};

TEST_P(EntryTest, UsageTextEndsTheProcessWithStatus1) {
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{}, {"?"}, {"?x", "-p", "3"}, {"-k", "?"}}) {
    auto result = target.Run(words);
    EXPECT_EQ(result.out, kUsage) << (words.empty() ? "no words" : words[0]);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "");
  }
}

TEST_P(EntryTest, IgnoredWordsLeadToTheRobotSearch) {
  // -? and --serial are no options; the run goes on and finds no robot.
  auto result = target.Run({"-?", "--serial", "--SERIA"});
  EXPECT_EQ(result.err, "Exception : No robot found connected to serial port.\n");
  EXPECT_NE(result.out.find("Searching for Robot Port ...\n"), std::string::npos);
  EXPECT_EQ(result.exitStatus, 3);
}

TEST_P(EntryTest, DbgflagsConfirmsEachCategoryInLogLineLayout) {
  auto result = target.Run({"--dbgflags", "URT,tra", "-p", "199"});
  std::regex expected(std::string("^") + kStamp + " LOG Log URT enabled\n" + kStamp +
                      " LOG Log tra enabled\n" + kStamp + " TRA OpenRobotPort\\(\\) - iPort=199\n" +
                      kStamp + " TRA Serial::Open\\(\\)\n");
  EXPECT_TRUE(std::regex_search(result.out, expected)) << result.out;
  EXPECT_EQ(result.err.rfind("Exception : Open() fail on CreateFile() - ", 0), 0u) << result.err;
}

TEST_P(EntryTest, DbglogSendsLogLinesOnlyToTheFile) {
  auto result = target.Run({"--dbglog", "x.txt", "-p", "199"});
  EXPECT_EQ(result.out.find(" TRA "), std::string::npos) << result.out;
  std::string log = test::ReadFileBytes(target.WorkFolder() + "/x.log");
  const std::string lineEnd = GetParam() == Build::kNative ? "\n" : "\r\n";
  std::regex expected(lineEnd + kStamp + "     Opening log file x\\.log - , flush all writes" +
                      lineEnd + kStamp + " TRA OpenRobotPort\\(\\) - iPort=199" + lineEnd);
  EXPECT_TRUE(std::regex_search(log, expected)) << log;
  EXPECT_EQ(log.substr(0, lineEnd.size()), lineEnd);
}

TEST_P(EntryTest, UnopenableLogFileStopsTheCallBeforeTheRobot) {
  auto result = target.Run({"--dbglog", "no/such/folder/x.txt", "-p", "199"});
  EXPECT_EQ(result.err,
            "Exception : SetLogFile() fail - fopen() for filename no/such/folder/x.log\n");
  EXPECT_EQ(result.out.find("Open"), std::string::npos);
  EXPECT_EQ(result.exitStatus, 3);
}

TEST(HostProgram, LibraryThatCannotBeLoadedIsReportedWithItsOwnStatus) {
  test::ProcessSpec spec;
  spec.argv = {test::TestSetting("TAVRIN_NATIVE_BIN_DIR") + "/upload", "-p", "3"};
  spec.setEnv["TAVRIN_LIB"] = "/no/such/libTavrin.so";
  auto result = test::RunProcess(spec);
  EXPECT_EQ(result.exitStatus, 4);
  EXPECT_EQ(result.err.rfind("Upload: cannot load StartDLL from /no/such/libTavrin.so: ", 0), 0u)
      << result.err;
}

INSTANTIATE_TEST_SUITE_P(Builds, EntryTest, ::testing::ValuesIn(test::AllBuilds()),
                         [](const auto& info) { return test::BuildName(info.param); });

}  // namespace
}  // namespace tavrin
