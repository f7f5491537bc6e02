#include "upload/image_transfer.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <thread>

#include "robot_link/robot_comm.h"
#include "tests/support/pty_peer.h"
#include "tests/unit/log_capture.h"

namespace tavrin {
namespace {

using Lines = std::vector<std::string>;

std::string Trailer(std::uint32_t sum) {
  return std::string{static_cast<char>(sum), static_cast<char>(sum >> 8),
                     static_cast<char>(sum >> 16), static_cast<char>(sum >> 24)};
}

std::uint32_t ByteSum(const std::string& bytes) {
  std::uint32_t sum = 0;
  for (unsigned char c : bytes) sum += c;
  return sum;
}

class ImageTransferTest : public ::testing::Test {
 protected:
  ImageTransferTest() {
    g_robotComm.serial.Open(peer.ComNumber(), 115200, 1, 0, 0, 0);
    saved_ = std::cout.rdbuf(out.rdbuf());
  }
  ~ImageTransferTest() override {
    std::cout.rdbuf(saved_);
    g_robotComm.serial.Close();
  }
  std::string Image(const std::string& bytes) {
    std::string path = folder / "image.bin";
    test::WriteFileBytes(path, bytes);
    return path;
  }
  test::LogCapture capture;
  test::PtyPeer peer{6};
  test::TempFolder folder;
  std::ostringstream out;

 private:
  std::streambuf* saved_;
};

TEST_F(ImageTransferTest, SendsTheImageThenItsByteSumAndLogsTheFigures) {
  EnableLogFlags("LOG");
  capture.Clear();
  BlastFile(Image("abc"), 3, false);
  EXPECT_EQ(peer.Received(7, 1000), std::string("abc") + Trailer(0x126));
  EXPECT_EQ(capture.Tagged(),
            (Lines{"LOG Size         - 0x00000003 3", "LOG Checksum     - 0x00000126",
                   "LOG Total sent   - 0x00000003 3"}));
  EXPECT_EQ(out.str(), "\n");
}

TEST_F(ImageTransferTest, PatchesTheApplicationSizeAndSumsThePatchedBytes) {
  std::string image(24, '\x7F');
  BlastFile(Image(image), 24, true);
  std::string sent = image.substr(0, 20) + std::string("\x18\0\0\0", 4);
  EXPECT_EQ(peer.Received(28, 1000), sent + Trailer(ByteSum(sent)));
}

TEST_F(ImageTransferTest, EmptyImageSendsOnlyAZeroTrailer) {
  EnableLogFlags("LOG");
  capture.Clear();
  BlastFile(Image(""), 0, false);
  EXPECT_EQ(peer.Received(4, 1000), std::string(4, '\0'));
  EXPECT_EQ(capture.Tagged()[2], "LOG Total sent   - 0x00000000 0");
}

TEST_F(ImageTransferTest, RefusedBeforeAnyByteIsSent) {
  struct Case {
    const char* name;
    std::string bytes;
    std::int32_t size;
    bool patch;
    std::string message;
  } cases[] = {
      {"too short to patch", std::string(23, 'x'), 23, true,
       "Error - cannot replace application size at byte 20"},
      {"empty code image", "", 0, true, "Error - cannot replace application size at byte 20"},
  };
  for (const Case& c : cases) {
    try {
      BlastFile(Image(c.bytes), c.size, c.patch);
      ADD_FAILURE() << c.name;
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(error.what(), c.message) << c.name;
    }
  }
  EXPECT_EQ(peer.Received(1, 200), "");
}

TEST_F(ImageTransferTest, ImageThatChangedSinceItWasMeasuredNeverGetsItsTrailer) {
  std::string image(1000, 'i');
  const std::string path = Image(image);
  EXPECT_THROW(BlastFile(path, 1200, false), std::runtime_error);  // shrank
  EXPECT_EQ(peer.Received(1001, 300), image);
  EXPECT_THROW(BlastFile(path, 600, false), std::runtime_error);  // grew
  EXPECT_EQ(peer.Received(1601, 300), image + image.substr(0, 600));
  try {
    BlastFile(folder / "missing.bin", 5, false);
    ADD_FAILURE();
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open image file " + (folder / "missing.bin") +
                                             " for reading - No such file or directory");
  }
}

TEST_F(ImageTransferTest, WithAckEachFullBlockGetsADotAndWaitsForTheRobot) {
  struct Case {
    std::size_t size;
    const char* dots;
  } cases[] = {{16383, "\n"}, {16384, ".\n"}, {16385, ".\n"}, {3 * 16384 + 7, "...\n"}};
  std::size_t sentSoFar = 0;
  for (const Case& c : cases) {
    out.str("");
    std::string image(c.size, 'b');
    std::thread robot([&] {
      for (std::size_t block = 1; block <= c.size / kAckBlockSize; ++block) {
        peer.Received(sentSoFar + block * kAckBlockSize, 5000);
        peer.Write("\x06");
      }
    });
    BlastFileWithAck(Image(image), static_cast<std::int32_t>(c.size), false);
    robot.join();
    sentSoFar += c.size + 4;
    EXPECT_EQ(peer.Received(sentSoFar, 2000).size(), sentSoFar) << c.size;
    EXPECT_EQ(out.str(), c.dots) << c.size;
  }
}

TEST_F(ImageTransferTest, UnansweredBlockTimesOutAfterFiveReads) {
  EnableLogFlags("DB1");
  capture.Clear();
  std::string image(kAckBlockSize, 'n');
  peer.Write("\x15");  // a NAK is not an ACK
  try {
    BlastFileWithAck(Image(image), kAckBlockSize, false);
    FAIL();
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Timeout waiting for ACK handshake during blast from robot");
  }
  int waits = 0;
  for (const std::string& line : capture.Tagged()) {
    waits += line.rfind("DB1 Waiting for ACK during blast:", 0) == 0;
  }
  EXPECT_EQ(waits, 5);
  EXPECT_EQ(peer.Received().size(), kAckBlockSize);  // no trailer
}

}  // namespace
}  // namespace tavrin
