// Uploads: REQ, image and trailer, block ACKs, verdict, and the record the robot keeps.
#include <gtest/gtest.h>

#include <chrono>
#include <ostream>

#include "robot_sim.h"
#include "slave_port.h"

namespace robotsim {
namespace {

using testing::ByteSum;
using testing::MakeImage;
using testing::SlavePort;
using testing::Trailer;

const std::string kReqByte(1, static_cast<char>(kReq));
const std::string kAckByte(1, static_cast<char>(kAck));

// What the host reads after the trailer.
std::string VerdictBytes(Verdict verdict) {
  if (verdict == Verdict::kNone) return "";
  return std::string(1, static_cast<char>(verdict == Verdict::kAck ? kAck : kNak));
}

std::string UploadLine(const std::string& type, bool reboot, size_t announced) {
  return "Upload " + type + (reboot ? " reboot " : " ") + std::to_string(announced) + "\n";
}

struct VerdictCase {
  const char* name;
  std::string type;
  size_t imageSize;
  int64_t sizeFieldDelta;  // added to the correct size field value
  int trailerDelta;        // added to the correct trailer value
  const char* fault;       // nullptr: none
  Verdict verdict;
  UploadEnd end;
};

// Test names, not bytes, in test listings.
void PrintTo(const VerdictCase& c, std::ostream* out) { *out << c.name; }

class UploadVerdictTest : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(UploadVerdictTest, JudgesTheImageAndRecordsIt) {
  const VerdictCase& c = GetParam();
  SimOptions options;
  if (c.fault != nullptr) options.faults.push_back(Fault::Parse(c.fault));
  RobotSim sim(options);
  SlavePort port(sim.SlavePath());
  const auto sizeField =
      static_cast<uint32_t>(static_cast<int64_t>(c.imageSize) + c.sizeFieldDelta);
  const std::string image = MakeImage(c.imageSize, sizeField);
  const uint32_t trailer = ByteSum(image) + static_cast<uint32_t>(c.trailerDelta);
  const size_t announced = image.size() + 4;

  ASSERT_TRUE(port.Send(UploadLine(c.type, true, announced)));
  ASSERT_EQ(port.Read(1, 1000), kReqByte);
  ASSERT_TRUE(port.Send(image + Trailer(trailer)));
  EXPECT_EQ(port.ReadFor(300), VerdictBytes(c.verdict));
  ASSERT_TRUE(sim.WaitForUploadVerdict(1000));

  const Transcript transcript = sim.GetTranscript();
  ASSERT_EQ(transcript.uploads.size(), 1u);
  const UploadRecord& upload = transcript.uploads[0];
  EXPECT_EQ(upload.type, c.type);
  EXPECT_TRUE(upload.reboot);
  EXPECT_EQ(upload.announced, announced);
  EXPECT_EQ(upload.received, announced);
  EXPECT_EQ(upload.sizeFieldPresent, c.imageSize >= 24);
  if (c.imageSize >= 24) {
    EXPECT_EQ(upload.sizeField, sizeField);
    EXPECT_EQ(upload.sizeFieldOk, c.sizeFieldDelta == 0);
  }
  EXPECT_EQ(upload.checksum, ByteSum(image));
  EXPECT_EQ(upload.trailer, trailer);
  EXPECT_EQ(upload.end, c.end);
  EXPECT_EQ(upload.verdict, c.verdict);

  // Back to command lines after the upload.
  ASSERT_TRUE(port.Send("GetVersion\n"));
  EXPECT_EQ(port.ReadFor(300), kDefaultIdentity);
}

INSTANTIATE_TEST_SUITE_P(
    Images, UploadVerdictTest,
    ::testing::Values(
        // Sum above 0xffff, so the trailer's byte order matters.
        VerdictCase{"CodeGood", "code", 70000, 0, 0, nullptr, Verdict::kAck, UploadEnd::kVerdict},
        VerdictCase{"CodeBadChecksum", "code", 70000, 0, 1, nullptr, Verdict::kNak,
                    UploadEnd::kVerdict},
        VerdictCase{"CodeChecksumOffByHighByte", "code", 70000, 0, 1 << 24, nullptr, Verdict::kNak,
                    UploadEnd::kVerdict},
        VerdictCase{"CodeWrongSizeField", "code", 5000, 4, 0, nullptr, Verdict::kNak,
                    UploadEnd::kVerdict},
        VerdictCase{"CodeTooShortForSizeField", "code", 10, 0, 0, nullptr, Verdict::kNak,
                    UploadEnd::kVerdict},
        VerdictCase{"SoundIgnoresSizeField", "sound", 5000, 12345, 0, nullptr, Verdict::kAck,
                    UploadEnd::kVerdict},
        VerdictCase{"SoundBadChecksum", "sound", 5000, 0, -1, nullptr, Verdict::kNak,
                    UploadEnd::kVerdict},
        VerdictCase{"EmptyImage", "sound", 0, 0, 0, nullptr, Verdict::kAck, UploadEnd::kVerdict},
        VerdictCase{"NakFault", "code", 5000, 0, 0, "nak", Verdict::kNak, UploadEnd::kVerdict},
        VerdictCase{"NoVerdictFault", "code", 5000, 0, 0, "no-verdict", Verdict::kNone,
                    UploadEnd::kWithheld}),
    [](const ::testing::TestParamInfo<VerdictCase>& info) { return info.param.name; });

TEST(UploadCommandTest, RecordsTypeRebootAndLength) {
  RobotSim sim;
  SlavePort port(sim.SlavePath());
  ASSERT_TRUE(port.Send("Upload sound 4\n"));
  ASSERT_EQ(port.Read(1, 1000), kReqByte);
  ASSERT_TRUE(port.Send(Trailer(0)));
  EXPECT_EQ(port.Read(1, 1000), kAckByte);
  ASSERT_TRUE(port.Send("Upload code reboot 1048580\n"));
  ASSERT_EQ(port.Read(1, 1000), kReqByte);

  const Transcript transcript = sim.GetTranscript();
  ASSERT_EQ(transcript.uploads.size(), 2u);
  EXPECT_EQ(transcript.uploads[0].type, "sound");
  EXPECT_FALSE(transcript.uploads[0].reboot);
  EXPECT_EQ(transcript.uploads[0].announced, 4u);
  EXPECT_EQ(transcript.uploads[1].type, "code");
  EXPECT_TRUE(transcript.uploads[1].reboot);
  EXPECT_EQ(transcript.uploads[1].announced, 1048580u);
  EXPECT_EQ(transcript.uploads[1].commandIndex, 1u);
  EXPECT_EQ(transcript.uploads[1].end, UploadEnd::kRunning);
}

struct BlockAckCase {
  const char* name;
  bool blockAck;
  const char* fault;
  size_t announced;
  uint32_t blockAcks;
};

// Test names, not bytes, in test listings.
void PrintTo(const BlockAckCase& c, std::ostream* out) { *out << c.name; }

class BlockAckTest : public ::testing::TestWithParam<BlockAckCase> {};

// The host sends a block, waits for its ACK, then sends the next.
TEST_P(BlockAckTest, AcksEveryFullBlockOfTheStream) {
  const BlockAckCase& c = GetParam();
  SimOptions options;
  options.blockAck = c.blockAck;
  if (c.fault != nullptr) options.faults.push_back(Fault::Parse(c.fault));
  RobotSim sim(options);
  SlavePort port(sim.SlavePath());
  const std::string image = MakeImage(c.announced - 4, static_cast<uint32_t>(c.announced - 4));
  const std::string stream = image + Trailer(ByteSum(image));

  ASSERT_TRUE(port.Send(UploadLine("code", false, c.announced)));
  ASSERT_EQ(port.Read(1, 1000), kReqByte);
  std::string acks;
  for (size_t at = 0; at < stream.size(); at += kBlockSize) {
    ASSERT_TRUE(port.Send(stream.substr(at, kBlockSize)));
    if (at + kBlockSize < stream.size()) acks += port.Read(1, c.blockAcks > 0 ? 1000 : 50);
  }
  acks += port.ReadFor(300);
  EXPECT_EQ(acks, std::string(c.blockAcks + 1, static_cast<char>(kAck)));  // + the verdict
  ASSERT_TRUE(sim.WaitForUploadVerdict(1000));
  EXPECT_EQ(sim.GetTranscript().uploads[0].blockAcks, c.blockAcks);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, BlockAckTest,
    ::testing::Values(BlockAckCase{"Off", false, nullptr, 2 * kBlockSize + 100, 0},
                      BlockAckCase{"PartialLastBlock", true, nullptr, 2 * kBlockSize + 100, 2},
                      // The last block's ACK comes just before the verdict.
                      BlockAckCase{"ExactBlocks", true, nullptr, 3 * kBlockSize, 3},
                      BlockAckCase{"ShorterThanABlock", true, nullptr, kBlockSize - 1, 0},
                      BlockAckCase{"NoBlockAckFault", true, "no-block-ack", 2 * kBlockSize + 100,
                                   0}),
    [](const ::testing::TestParamInfo<BlockAckCase>& info) { return info.param.name; });

struct HandshakeCase {
  const char* name;
  const char* fault;
  std::string answer;  // to the Upload line
  UploadEnd end;
};

// Test names, not bytes, in test listings.
void PrintTo(const HandshakeCase& c, std::ostream* out) { *out << c.name; }

class HandshakeFaultTest : public ::testing::TestWithParam<HandshakeCase> {};

TEST_P(HandshakeFaultTest, RobotStaysWithCommands) {
  SimOptions options;
  options.faults.push_back(Fault::Parse(GetParam().fault));
  RobotSim sim(options);
  SlavePort port(sim.SlavePath());
  ASSERT_TRUE(port.Send("Upload code 1004\n"));
  const std::string answer = port.ReadFor(200);
  EXPECT_EQ(answer, GetParam().answer);
  EXPECT_EQ(answer.find(static_cast<char>(kReq)), std::string::npos);
  ASSERT_TRUE(port.Send("GetVersion\n"));
  EXPECT_EQ(port.ReadFor(300), kDefaultIdentity);
  EXPECT_EQ(sim.GetTranscript().uploads.at(0).end, GetParam().end);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, HandshakeFaultTest,
    ::testing::Values(HandshakeCase{"NoReq", "no-req", "", UploadEnd::kNoReq},
                      HandshakeCase{"GarbageReq", "garbage-req", std::string("?\0\xff", 3),
                                    UploadEnd::kGarbageReq}),
    [](const ::testing::TestParamInfo<HandshakeCase>& info) { return info.param.name; });

TEST(UploadIdleTest, RobotGivesUpAStalledUploadAndTakesCommandsAgain) {
  SimOptions options;
  options.uploadIdleTimeoutMs = 200;
  RobotSim sim(options);
  SlavePort port(sim.SlavePath());
  ASSERT_TRUE(port.Send("Upload code 1004\n"));
  ASSERT_EQ(port.Read(1, 1000), kReqByte);
  ASSERT_TRUE(port.Send(std::string(10, 'x')));
  ASSERT_TRUE(sim.WaitForUploadVerdict(1000));
  ASSERT_TRUE(port.Send("GetVersion\n"));
  EXPECT_EQ(port.ReadFor(300), kDefaultIdentity);
  const UploadRecord upload = sim.GetTranscript().uploads.at(0);
  EXPECT_EQ(upload.received, 10u);
  EXPECT_EQ(upload.end, UploadEnd::kIdle);
  EXPECT_EQ(upload.verdict, Verdict::kNone);
}

TEST(SlowReaderTest, TakesUploadBytesAtTheGivenRate) {
  SimOptions options;
  options.faults.push_back(Fault::Parse("slow-reader=20000"));
  RobotSim sim(options);
  SlavePort port(sim.SlavePath());
  const std::string image = MakeImage(10000, 10000);
  ASSERT_TRUE(port.Send(UploadLine("code", false, image.size() + 4)));
  ASSERT_EQ(port.Read(1, 1000), kReqByte);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(port.Send(image + Trailer(ByteSum(image))));
  EXPECT_EQ(port.Read(1, 3000), kAckByte);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(450));  // 10004 bytes at 20000 bytes/s
}

}  // namespace
}  // namespace robotsim
