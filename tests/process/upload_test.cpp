// Uploading images to the simulated robot through the real library, on both builds.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "tests/process/robot_fixture.h"
#include "tests/support/test_settings.h"

namespace tavrin {
namespace {

using robotsim::UploadRecord;
using robotsim::Verdict;

std::string SummaryLine(const std::string& label, const std::string& value) {
  return "  " + label + std::string(20 - label.size(), '.') + " " + value + "\n";
}

class UploadTest : public test::RobotRunTest {
 protected:
  // An image whose bytes differ, so a lost or moved byte changes the checksum.
  std::string Image(std::size_t size, const std::string& name = "image.bin") {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    const std::string path = target.WorkFolder() + "/" + name;
    test::WriteFileBytes(path, bytes);
    return target.FilePath(path);
  }
  UploadRecord OnlyUpload() {
    EXPECT_TRUE(Robot().WaitForUploadVerdict(5000));
    auto uploads = Robot().GetTranscript().uploads;
    EXPECT_EQ(uploads.size(), 1u);
    return uploads.empty() ? UploadRecord{} : uploads[0];
  }
};

TEST_P(UploadTest, CodeImageWithRebootIsPatchedSummedAcceptedAndWaitedFor) {
  StartRobot();
  const std::string image = Image(100000);
  auto start = std::chrono::steady_clock::now();
  auto result = target.Run({"-p", ComText(), "-f", image, "-r"});
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::string expected =
      "Upload\n" + SummaryLine("File", image) + SummaryLine("File size", "100000") +
      SummaryLine("Type", "code") + SummaryLine("Options", "Reboot after upload") +
      "\nUsing one large file blast ...\n\nUpload completed OK.\n"
      "Robot reboot requested ... close serial port and wait 10 seconds ...\n";
  EXPECT_NE(result.out.find("Current Directory is: "), std::string::npos);
  EXPECT_NE(result.out.find(expected), std::string::npos) << result.out;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(target.HostBuffers()["result"], "Upload OK");
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_GE(seconds, 10.0);
  UploadRecord upload = OnlyUpload();
  EXPECT_EQ(Robot().GetTranscript().commands.at(upload.commandIndex),
            "Upload code reboot 100004\n");
  EXPECT_EQ(upload.received, 100004u);
  EXPECT_TRUE(upload.sizeFieldOk);
  EXPECT_EQ(upload.sizeField, 100000u);
  EXPECT_EQ(upload.checksum, upload.trailer);
  EXPECT_EQ(upload.verdict, Verdict::kAck);
}

TEST_P(UploadTest, RejectedImageLeavesTheConnectionResult) {
  StartRobot(WithFault("nak"));
  auto result = target.Run({"-p", ComText(), "-f", Image(5000), "-r", "-t", "sound"});
  EXPECT_NE(result.out.find("\nRB-40 Reported Upload failed.\n"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("Robot reboot requested"), std::string::npos);
  EXPECT_EQ(target.HostBuffers()["result"], "Robot connected on COM");
  EXPECT_EQ(result.exitStatus, 2);
  UploadRecord upload = OnlyUpload();
  EXPECT_EQ(upload.type, "sound");
  EXPECT_FALSE(upload.sizeFieldOk);  // other types are sent as stored
}

TEST_P(UploadTest, BlastWithAckPrintsADotPerFullBlock) {
  robotsim::SimOptions options;
  options.blockAck = true;
  StartRobot(options);
  auto result = target.Run({"-p", ComText(), "-f", Image(40000), "--blastack"});
  EXPECT_NE(result.out.find("Using file blast with block size 16k ...\n..\nUpload completed OK.\n"),
            std::string::npos)
      << result.out;
  UploadRecord upload = OnlyUpload();
  EXPECT_EQ(upload.blockAcks, 2u);
  EXPECT_EQ(upload.verdict, Verdict::kAck);
  EXPECT_EQ(target.HostBuffers()["result"], "Upload OK");
}

TEST_P(UploadTest, WithoutHandshakeTheImageIsSentAndNotConfirmed) {
  StartRobot(WithFault("nak"));
  auto result = target.Run({"-p", ComText(), "-f", Image(3000, "plain.enc"), "-k"});
  EXPECT_NE(result.out.find(SummaryLine("Options", " Disable handshake with robot") +
                            "\nUsing one large file blast ...\n\nUpload sent to robot.\n"),
            std::string::npos)
      << result.out;
  EXPECT_EQ(target.HostBuffers()["result"], "Upload OK");  // a NAK is not even looked at
  UploadRecord upload = OnlyUpload();
  EXPECT_EQ(upload.received, 3004u);
  EXPECT_FALSE(upload.sizeFieldOk);  // an encrypted image is never patched
}

TEST_P(UploadTest, ImagesThatCannotBeSentFailBeforeAnyImageByte) {
  struct Case {
    std::vector<std::string> words;
    std::string error;
    bool summary;
  } cases[] = {
      {{"-f", Image(23, "short.bin")},
       "Exception : Error - cannot replace application size at byte 20\n",
       true},
      {{"-f", "missing.bin"},
       "Exception : OSUtil::Stat() fail - File missing.bin not found.\n",
       false},
  };
  for (const Case& c : cases) {
    // A robot that was told of an upload waits for its bytes: each case gets a fresh one.
    const std::size_t index = static_cast<std::size_t>(&c - cases);
    StartRobot();
    std::vector<std::string> words = {"-p", ComText(index)};
    words.insert(words.end(), c.words.begin(), c.words.end());
    auto result = target.Run(words);
    EXPECT_EQ(result.err, c.error);
    EXPECT_EQ(result.out.find("Upload\n") != std::string::npos, c.summary) << result.out;
    EXPECT_EQ(target.HostBuffers()["result"], "Robot connected on COM");
    for (const UploadRecord& upload : Robot(index).GetTranscript().uploads) {
      EXPECT_EQ(upload.received, 0u);
    }
  }
}

TEST_P(UploadTest, RobotThatNeverAsksOrNeverAnswersTimesOut) {
  struct Case {
    const char* fault;
    std::string error;
    double minSeconds;
    double maxSeconds;
  } cases[] = {
      {"no-req",
       "Exception : Timeout waiting for REQ handshake character from robot before file blast\n",
       1.5, 5},
      {"no-verdict",
       "Exception : Timeout waiting for ACK/NAK handshake character from robot after upload.\n", 10,
       13},
  };
  for (const Case& c : cases) {
    StartRobot(WithFault(c.fault));
    int index = static_cast<int>(&c - cases);
    auto result = target.Run({"-p", std::to_string(Com(index)), "-f", Image(2000), "-r"});
    EXPECT_EQ(result.err, c.error);
    EXPECT_GE(result.seconds, c.minSeconds) << c.fault;
    EXPECT_LE(result.seconds, c.maxSeconds + test::TimeSlack()) << c.fault;
    EXPECT_EQ(target.HostBuffers()["result"], "Robot connected on COM") << c.fault;
    EXPECT_EQ(result.exitStatus, 2);
  }
}

TEST_P(UploadTest, ImagesTheRobotCannotBeToldOfOrThatCannotBeReadEndClearly) {
  StartRobot();
  // 2 GiB do not fit the size the robot is told; a sparse file costs no disk.
  const std::string huge = target.WorkFolder() + "/huge.bin";
  test::WriteFileBytes(huge, "");
  ASSERT_EQ(truncate(huge.c_str(), 2147483648LL), 0);
  auto tooLarge = target.Run({"-p", ComText(), "-f", target.FilePath(huge)});
  EXPECT_EQ(tooLarge.err, "Exception : File " + target.FilePath(huge) +
                              " is too large to upload (2147483648 bytes); images must be below "
                              "2 GiB.\n");
  EXPECT_EQ(Robot().GetTranscript().commands, std::vector<std::string>{"GetVersion\n"});

  // A folder passes the size query but holds no image bytes.
  StartRobot();
  const std::string folder = target.WorkFolder() + "/not-a-file";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  auto unreadable = target.Run({"-p", ComText(1), "-f", target.FilePath(folder), "-t", "sound"});
  EXPECT_TRUE(unreadable.err.rfind("Exception : Cannot open image file " + target.FilePath(folder) +
                                       " for reading - ",
                                   0) == 0 ||
              unreadable.err.rfind(
                  "Exception : Cannot read image file " + target.FilePath(folder) + " - ", 0) == 0)
      << unreadable.err;
  EXPECT_EQ(target.HostBuffers()["result"], "Robot connected on COM");
}

// A short upload on every build, the 32-bit Windows one included.
class UploadSmokeTest : public UploadTest {};

TEST_P(UploadSmokeTest, SmallCodeImageIsAccepted) {
  StartRobot();
  auto result = target.Run({"-p", ComText(), "-f", Image(1000)});
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(target.HostBuffers()["result"], "Upload OK");
  UploadRecord upload = OnlyUpload();
  EXPECT_TRUE(upload.sizeFieldOk);
  EXPECT_EQ(upload.checksum, upload.trailer);
}

INSTANTIATE_TEST_SUITE_P(Builds, UploadSmokeTest, ::testing::ValuesIn(test::AllBuilds()),
                         test::ParamName);

INSTANTIATE_TEST_SUITE_P(Builds, UploadTest, ::testing::ValuesIn(test::FullTestBuilds()),
                         test::ParamName);

}  // namespace
}  // namespace tavrin
