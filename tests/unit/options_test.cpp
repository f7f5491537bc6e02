#include "driver/options.h"

#include <gtest/gtest.h>

#include "driver/driver_settings.h"
#include "tests/unit/log_capture.h"

namespace tavrin {
namespace {

struct Ended {
  const char* by;
};
const ProcessEnders kThrowingEnders = {[] { throw Ended{"usage"}; },
                                       [] { throw Ended{"listing"}; }};

struct Parsed {
  RunOptions options;
  DriverSettings settings;
  const char* endedBy = nullptr;
};

Parsed Parse(std::vector<const char*> words, DriverSettings before = DriverSettings{}) {
  test::LogCapture capture;
  TheDriverSettings() = before;
  words.insert(words.begin(), "Upload");
  Parsed parsed;
  try {
    ParseOptions(static_cast<int>(words.size()), words.data(), parsed.options, kThrowingEnders);
  } catch (const Ended& ended) {
    parsed.endedBy = ended.by;
  }
  parsed.settings = TheDriverSettings();
  TheDriverSettings() = DriverSettings{};
  return parsed;
}

TEST(Options, TypicalUploadLine) {
  Parsed p = Parse({"-p", "7", "-k", "-f", "image.bin", "-r"});
  EXPECT_EQ(p.settings.robotPort, 7);
  EXPECT_FALSE(p.options.autoFind);
  EXPECT_FALSE(p.settings.handshakeEnabled);
  EXPECT_EQ(p.options.uploadFile, "image.bin");
  EXPECT_TRUE(p.options.rebootAfterUpload);
  EXPECT_EQ(p.options.uploadType, "code");
  EXPECT_FALSE(p.options.setClock);
}

TEST(Options, ProcessEndingWords) {
  struct Case {
    std::vector<const char*> words;
    const char* endedBy;
  } cases[] = {
      {{"?"}, "usage"},
      {{"?x"}, "usage"},
      {{"-?"}, nullptr},
      {{"--seria", "-p", "5"}, "listing"},
      {{"--serial"}, nullptr},
      {{"--SERIA"}, nullptr},
      {{"-c", "?", "--seria"}, nullptr},
      {{"-f", "?"}, nullptr},  // an argument is never read as an option
  };
  for (const Case& c : cases) {
    Parsed p = Parse(c.words);
    EXPECT_STREQ(p.endedBy == nullptr ? "none" : p.endedBy,
                 c.endedBy == nullptr ? "none" : c.endedBy)
        << c.words[0];
  }
}

TEST(Options, PassThroughTakesEveryLaterWord) {
  Parsed p = Parse({"-c", "?", "--seria"});
  EXPECT_TRUE(p.options.passThrough);
  EXPECT_EQ(p.options.passThroughCommand, "? --seria ");
  EXPECT_EQ(Parse({"-c", "GetVersion"}).options.passThroughCommand, "GetVersion ");
  Parsed last = Parse({"-c"});
  EXPECT_TRUE(last.options.passThrough);
  EXPECT_EQ(last.options.passThroughCommand, "");
}

TEST(Options, OnlyTheSecondLetterOfADashWordCounts) {
  EXPECT_FALSE(Parse({"-keep"}).settings.handshakeEnabled);
  EXPECT_FALSE(Parse({"-kx"}).settings.handshakeEnabled);
  EXPECT_TRUE(Parse({"-K"}).settings.handshakeEnabled);
  EXPECT_TRUE(Parse({"-yes"}).options.setClock);
  EXPECT_EQ(Parse({"-type", "sound"}).options.uploadType, "sound");
  EXPECT_TRUE(Parse({"-"}).options.autoFind);
}

TEST(Options, PortNumbersAreReadAsAtoiReadsThem) {
  struct Case {
    const char* word;
    int port;
  } cases[] = {{"07", 7}, {"COM5", 0}, {"  -3x", -3}, {"+12", 12}, {"99999999999", 2147483647}};
  for (const Case& c : cases) EXPECT_EQ(Parse({"-p", c.word}).settings.robotPort, c.port) << c.word;
}

TEST(Options, MissingArgumentsAndLaterWordsWinning) {
  Parsed lastP = Parse({"-p"}, DriverSettings{5, true, false});
  EXPECT_FALSE(lastP.options.autoFind);
  EXPECT_EQ(lastP.settings.robotPort, 5);
  EXPECT_EQ(Parse({"-f", "a", "-f"}).options.uploadFile, "a");
  EXPECT_TRUE(Parse({"-p", "3", "-a"}).options.autoFind);
  EXPECT_FALSE(Parse({"-a", "-p", "3"}).options.autoFind);
  EXPECT_EQ(Parse({"-t", "LDS", "-t", "sound"}).options.uploadType, "sound");
  EXPECT_EQ(Parse({"--APIscriptfile", "a.txt"}).options.apiScriptFile, "a.txt");
  EXPECT_TRUE(Parse({"--blastack"}).settings.blastWithAck);
}

TEST(Options, SettingsOutliveTheCall) {
  Parsed first = Parse({"-k"});
  Parsed second = Parse({"-f", "x"}, first.settings);
  EXPECT_FALSE(second.settings.handshakeEnabled);
}

TEST(Options, DbglogAsLastWordTurnsEchoOffAndEnablesItsSixCategories) {
  test::LogCapture capture;
  RunOptions options;
  const char* words[] = {"Upload", "--dbglog"};
  ParseOptions(2, words, options, kThrowingEnders);
  EXPECT_FALSE(TheLogState().consoleEcho);
  EXPECT_TRUE(capture.Raw().empty());  // the confirmations reach no sink
  for (LogCategory c : {cat::LOG, cat::ERR, cat::WRN, cat::TRA, cat::DB4, cat::URT}) {
    EXPECT_TRUE(IsLogEnabled(c)) << c;
  }
  EXPECT_FALSE(IsLogEnabled(cat::DB1));
  EXPECT_EQ(TheLogState().logFile, nullptr);
}

}  // namespace
}  // namespace tavrin
