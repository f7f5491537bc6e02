// The small actions of a run: a command passed through, and a script of commands.
#include "tests/process/robot_fixture.h"

namespace tavrin {
namespace {

using Lines = std::vector<std::string>;

class RunFlowTest : public test::RobotRunTest {
 protected:
  robotsim::RobotSim& StartAnsweringRobot() {
    robotsim::SimOptions options;
    options.answers["GetCharger \n"] = "FuelPercent,87\n";
    options.answers["GetCharger\n"] = "FuelPercent,88\n";
    return StartRobot(options);
  }
};

TEST_P(RunFlowTest, PassThroughAnswerReachesOnlyTheResultBuffer) {
  StartAnsweringRobot();
  auto result = target.Run({"-p", ComText(), "-c", "GetCharger"});
  EXPECT_NE(result.out.find("\nSending Cmd: 'GetCharger \n'\n"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("FuelPercent,87\n'"), std::string::npos);
  EXPECT_EQ(target.HostBuffers()["result"], "Robot connected on COMFuelPercent,87\n");
  EXPECT_NE(result.out.find("Result        : Robot connected on COMFuelPercent,87\n"),
            std::string::npos);
  EXPECT_EQ(Robot().GetTranscript().commands, (Lines{"GetVersion\n", "GetCharger \n"}));
}

TEST_P(RunFlowTest, PassThroughTakesOptionWordsAsTheCommand) {
  StartAnsweringRobot();
  auto result = target.Run({"-p", ComText(), "-c", "?", "--seria"});
  EXPECT_EQ(result.exitStatus, 2);
  ASSERT_TRUE(Robot().WaitForCommands(2, 1000));
  EXPECT_EQ(Robot().GetTranscript().commands.at(1), "? --seria \n");
  // A fresh robot: an answer that came too late for the first run would still be on the line.
  StartAnsweringRobot();
  auto lastWord = target.Run({"-p", ComText(1), "-c"});
  EXPECT_EQ(target.HostBuffers()["result"],
            "Robot connected on COM");  // a lone line feed gets no answer
  EXPECT_EQ(lastWord.err, "");
  EXPECT_EQ(Robot(1).GetTranscript().commands.at(1), "\n");
}

TEST_P(RunFlowTest, ScriptSendsEachLineAndEchoesTheAnswers) {
  StartAnsweringRobot();
  const std::string script = target.WorkFolder() + "/script.txt";
  const std::string longLine(600, 'x');
  test::WriteFileBytes(script, "GetCharger\r\n" + longLine + "\nLastLine");
  auto result = target.Run({"-p", ComText(), "--APIscriptfile", target.FilePath(script)});
  const std::string expected =
      "Sending Cmd: 'GetCharger'\nReceived Response: 'FuelPercent,88\n'\n"
      "Sending Cmd: '" +
      longLine.substr(0, 509) +
      "'\nReceived Response: ''\n"
      "Sending Cmd: '" +
      longLine.substr(0, 90) + "'\nReceived Response: 'Unknown Cmd: '" + longLine +
      "'\n'\n"
      "Sending Cmd: 'LastLin'\nReceived Response: ''\n";
  EXPECT_NE(result.out.find(expected), std::string::npos) << result.out;
  Lines commands = Robot().GetTranscript().commands;
  EXPECT_EQ(commands, (Lines{"GetVersion\n", "\n", "GetCharger\n", longLine + "\n"}));
  EXPECT_EQ(target.HostBuffers()["result"], "Robot connected on COM");
}

TEST_P(RunFlowTest, MissingScriptEndsTheRunSilently) {
  StartAnsweringRobot();
  auto result = target.Run({"-p", ComText(), "--APIscriptfile", "no-such-script.txt"});
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find("  Software ..................... 3.4.5\n\n\nResult"),
            std::string::npos)
      << result.out;
  EXPECT_EQ(Robot().GetTranscript().commands, Lines{"GetVersion\n"});
}

INSTANTIATE_TEST_SUITE_P(Builds, RunFlowTest, ::testing::ValuesIn(test::FullTestBuilds()),
                         test::ParamName);

}  // namespace
}  // namespace tavrin
