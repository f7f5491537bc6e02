#include "diagnostics/log_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include "diagnostics/err.h"
#include "tests/support/process_runner.h"
#include "tests/unit/log_capture.h"

namespace tavrin {
namespace {

using test::LogCapture;
using Lines = std::vector<std::string>;

std::vector<std::string> FileLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string bytes = test::ReadFileBytes(path);
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(bytes.substr(start, end - start));
  }
  return lines;
}

const std::regex kStamp(R"(\[\d{4,}\] [ \d]\d:\d\d:\d\d\.\d{3})");

TEST(LogWriter, DisabledCategoriesCostNothingButLogPrintAndLogLineAlwaysWrite) {
  LogCapture capture;
  LogPrintCat(cat::TRA, "hidden %d", 1);
  LogHexDump(cat::URT, "SND:", 3, "abc");
  LogPrint("shown %s", "always");
  LogLine(cat::DB3, "plain");
  EXPECT_EQ(capture.Tagged(), (Lines{"LOG shown always", "DB3 plain"}));
  EXPECT_TRUE(std::regex_match(
      capture.Raw()[0], std::regex(R"(\[\d{4,}\] [ \d]\d:\d\d:\d\d\.\d{3} LOG shown always\n)")))
      << capture.Raw()[0];
}

TEST(LogWriter, TimestampLayout) {
  EXPECT_EQ(FormatTimestamp(7, {9, 5, 3, 42}), "[0007]  9:05:03.042");
  EXPECT_EQ(FormatTimestamp(123456, {23, 59, 59, 999}), "[123456] 23:59:59.999");
}

TEST(LogWriter, FormattedTextIsCutAt2047Characters) {
  LogCapture capture;
  std::string longText(5000, 'x');
  LogPrint("%s", longText.c_str());
  EXPECT_EQ(capture.Tagged()[0], "LOG " + std::string(2047, 'x'));
}

TEST(LogWriter, HexDumpLines) {
  LogCapture capture;
  EnableLogFlags("URT");
  capture.Clear();
  LogHexDump(cat::URT, "SND:", 0, "");
  LogHexDump(cat::URT, "RCV:", 4, "A\r \xFF");
  LogHexDump(cat::URT, nullptr, 17, "0123456789abcdefg");
  EXPECT_EQ(
      capture.Tagged(),
      (Lines{"URT SND: No data",
             "URT RCV:   0: 41 0D 20 FF                                      A. .            ",
             "URT    0: 30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66  0123456789abcdef",
             "URT   16: 67                                               g               "}));
}

TEST(LogWriter, LongDumpsCountOffsetsAndWidenPastThreePlaces) {
  LogCapture capture;
  EnableLogFlags("URT");
  capture.Clear();
  std::string bytes(1000, 'z');
  LogHexDump(cat::URT, "SND:", 1000, bytes.data());
  Lines lines = capture.Tagged();
  ASSERT_EQ(lines.size(), 63u);
  EXPECT_EQ(lines[1].substr(0, 13), "URT SND:  16:");
  EXPECT_EQ(lines[62].substr(0, 13), "URT SND: 992:");
  EXPECT_EQ(lines[62].substr(14, 24), "7A 7A 7A 7A 7A 7A 7A 7A ");
  capture.Clear();
  std::string more(1024, 'z');
  LogHexDump(cat::URT, "SND:", 1024, more.data());
  EXPECT_EQ(capture.Tagged()[63].substr(0, 15), "URT SND: 1008: ");
}

class LogFileTest : public ::testing::Test {
 protected:
  LogCapture capture;
  test::TempFolder folder;
};

TEST_F(LogFileTest, NameIsCutAtTheFirstDot) {
  struct Case {
    std::string given;
    std::string file;
  } cases[] = {
      {folder / "upload.txt", folder / "upload.log"},
      {folder / "upload", folder / "upload.log"},
      {folder / "a.b.c", folder / "a.log"},
  };
  for (const Case& c : cases) {
    SetLogFile(c.given);
    EXPECT_EQ(TheLogState().logFileName, c.file);
    EXPECT_EQ(access(c.file.c_str(), F_OK), 0) << c.file;
  }
  // A dot in a folder name counts too, and a leading dot leaves only ".log".
  test::TempFolder dotted;
  std::string folderWithDot = dotted / "dir.d";
  EXPECT_EQ(mkdir(folderWithDot.c_str(), 0755), 0);
  SetLogFile(folderWithDot + "/upload.txt");
  EXPECT_EQ(TheLogState().logFileName, dotted.path() + "/dir.log");
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(folder.path().c_str()), 0);
  SetLogFile("./sub/upload.txt");
  EXPECT_EQ(TheLogState().logFileName, ".log");
  EXPECT_EQ(access((folder / ".log").c_str(), F_OK), 0);
  TheLogState().logFile.reset();
  ASSERT_EQ(chdir(cwd), 0);
}

TEST_F(LogFileTest, OpeningLineThenLinesOnlyInTheFileWhenEchoIsOff) {
  SetConsoleEcho(false);
  SetLogFile(folder / "x.txt");
  LogPrint("first %d", 1);
  SetLogFile(folder / "y");
  EXPECT_TRUE(capture.Raw().empty());
  Lines x = FileLines(folder / "x.log");
  ASSERT_EQ(x.size(), 4u);
  EXPECT_EQ(x[0], "");
  EXPECT_TRUE(std::regex_match(
      x[1], std::regex(R"(\[\d{4,}\] [ \d]\d:\d\d:\d\d\.\d{3}     Opening log file )" +
                       folder.path() + R"(/x\.log - , flush all writes)")))
      << x[1];
  EXPECT_TRUE(
      std::regex_match(x[2], std::regex(R"(\[\d{4,}\] [ \d]\d:\d\d:\d\d\.\d{3} LOG first 1)")))
      << x[2];
  EXPECT_TRUE(std::regex_match(
      x[3], std::regex(R"(\[\d{4,}\] [ \d]\d:\d\d:\d\d\.\d{3}     Closing log file)")))
      << x[3];
}

TEST_F(LogFileTest, RotatesAfter9999Lines) {
  SetConsoleEcho(false);
  SetLogFile(folder / "rot");
  for (int i = 1; i <= 10000; ++i) LogPrint("line %d", i);
  Lines lines = FileLines(folder / "rot.log");
  // empty, opening, 9999 lines, closing, empty, opening, line 10000
  ASSERT_EQ(lines.size(), 2u + 9999u + 3u + 1u);
  EXPECT_NE(lines[1 + 9999].find("LOG line 9999"), std::string::npos);
  EXPECT_NE(lines[2 + 9999].find("     Closing log file"), std::string::npos);
  EXPECT_EQ(lines[3 + 9999], "");
  EXPECT_NE(lines[4 + 9999].find("     Opening log file"), std::string::npos);
  EXPECT_NE(lines[5 + 9999].find("LOG line 10000"), std::string::npos);
}

TEST_F(LogFileTest, MissingFolderThrowsLogErrWithTheFullName) {
  const std::string name = folder / "missing/dir/upload";
  try {
    SetLogFile(name + ".txt");
    FAIL() << "no error";
  } catch (const Err& error) {
    EXPECT_EQ(error.Name(), "Log");
    EXPECT_EQ(error.Message(), error.what());
    EXPECT_EQ(std::string(error.what()),
              "SetLogFile() fail - fopen() for filename " + name + ".log");
  }
  EXPECT_EQ(TheLogState().logFile, nullptr);
  EXPECT_EQ(Err("plain").Name(), "Err");
}

}  // namespace
}  // namespace tavrin
