// What one call leaves for the next in the same host process: settings, log categories, the
// log file and the open port.
#include <regex>

#include "tests/process/robot_fixture.h"

namespace tavrin {
namespace {

class RepeatedCallsTest : public test::RobotRunTest {};

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST_P(RepeatedCallsTest, SettingsAndCategoriesCarryOverAndTheOpenPortIsReopened) {
  StartRobot(WithFault("nak"));
  const std::string image = target.WorkFolder() + "/image.bin";
  test::WriteFileBytes(image, std::string(3000, 'i'));
  auto result = target.RunCallTwice({"--dbgflags", "TRA", "-k", "-p", ComText(), "--then", "-p",
                                     ComText(), "-f", target.FilePath(image), "-t", "sound"});
  // The second call still runs without the handshake (a NAK is not even looked at)...
  EXPECT_NE(result.out.find("\nUpload sent to robot.\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("CALL 2 RESULT [Upload OK]"), std::string::npos);
  // ...still traces, and closes the port the first call left open before opening it again.
  EXPECT_EQ(Count(result.out, " TRA OpenRobotPort() - iPort=" + ComText() + "\n"), 2u);
  const std::string secondCall = result.out.substr(result.out.find("CALL 1 RESULT"));
  const std::string stamp = R"(\[\d{4,}\] [ \d]\d:\d\d:\d\d\.\d{3})";
  EXPECT_TRUE(std::regex_search(secondCall, std::regex(stamp + " TRA Serial::Open\\(\\)\n" + stamp +
                                                       " TRA Serial::Close\\(\\)\n")))
      << secondCall;
}

TEST_P(RepeatedCallsTest, ASecondLogFileGetsTheFirstOnesClosingLine) {
  StartRobot();
  auto result = target.RunCallTwice({"--dbglog", "first.txt", "-p", ComText(), "--then", "--dbglog",
                                     "second.txt", "-p", ComText()});
  EXPECT_EQ(result.out.find(" TRA "), std::string::npos);  // no echo in either call
  const std::string first =
      test::WithoutCarriageReturns(test::ReadFileBytes(target.WorkFolder() + "/first.log"));
  const std::string second =
      test::WithoutCarriageReturns(test::ReadFileBytes(target.WorkFolder() + "/second.log"));
  // The second call's confirmations reach the file still open from the first call.
  EXPECT_EQ(Count(first, " LOG Log URT enabled\n"), 1u) << first;
  EXPECT_NE(first.find("     Closing log file\n"), std::string::npos) << first;
  EXPECT_EQ(Count(second, "     Opening log file second.log - , flush all writes\n"), 1u);
  EXPECT_NE(second.find(" TRA OpenRobotPort() - iPort=" + ComText() + "\n"), std::string::npos)
      << second;
  EXPECT_EQ(second.find(" LOG Log "), std::string::npos) << second;
}

INSTANTIATE_TEST_SUITE_P(Builds, RepeatedCallsTest, ::testing::ValuesIn(test::FullTestBuilds()),
                         test::ParamName);

}  // namespace
}  // namespace tavrin
