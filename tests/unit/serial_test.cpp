#include "robot_link/serial.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <functional>
#include <thread>

#include "diagnostics/err.h"
#include "robot_link/robot_comm.h"
#include "robot_link/serial_err.h"
#include "tests/support/pty_peer.h"
#include "tests/unit/log_capture.h"

namespace tavrin {
namespace {

using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class SerialTest : public ::testing::Test {
 protected:
  test::LogCapture capture;
  test::PtyPeer peer{5};
  RobotComm comm;
  void OpenPort() { comm.serial.Open(peer.ComNumber(), 115200, 1, 0, 0, 0); }
};

TEST_F(SerialTest, SilentWindowLastsAbout100msAndDumpsNoData) {
  OpenPort();
  EnableLogFlags("URT");
  capture.Clear();
  auto start = Clock::now();
  EXPECT_EQ(comm.ReadResponse(), "");
  double elapsed = MillisecondsSince(start);
  EXPECT_GE(elapsed, 99);
  EXPECT_LT(elapsed, 300);
  EXPECT_EQ(capture.Tagged(), Lines{"URT RCV: No data"});
}

TEST_F(SerialTest, WindowCollectsEverythingThatArrivesWithinIt) {
  OpenPort();
  std::string big;
  for (int i = 0; i < 3000; ++i) big += static_cast<char>(i % 251);
  std::thread sender([&] {
    peer.Write(big.substr(0, 1000));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    peer.Write(big.substr(1000));
  });
  std::string answer = comm.ReadResponse();
  sender.join();
  EXPECT_EQ(answer, big);
}

TEST_F(SerialTest, AnswerCutByTheWindowContinuesInTheNextRead) {
  OpenPort();
  std::thread sender([&] {
    peer.Write("first");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    peer.Write("second");
  });
  EXPECT_EQ(comm.ReadResponse(), "first");
  EXPECT_EQ(comm.ReadResponse(), "second");
  sender.join();
}

TEST_F(SerialTest, CountedReadReturnsAsSoonAsTheBytesAreIn) {
  OpenPort();
  peer.Write("abcdef");
  auto start = Clock::now();
  EXPECT_EQ(comm.serial.Read(4), "abcd");
  EXPECT_LT(MillisecondsSince(start), 50);
  EXPECT_EQ(comm.serial.Read(4), "ef");  // the window ends with fewer
  char buffer[8];
  peer.Write("xy");
  EXPECT_EQ(comm.serial.ReadChar(buffer, 8, 50), 2);
  EXPECT_EQ(comm.serial.ReadChar(buffer, 0, 50), 0);
}

TEST_F(SerialTest, WritesExactlyTheBytesGivenAndDumpsThem) {
  OpenPort();
  EnableLogFlags("URT");
  capture.Clear();
  comm.Send("");
  comm.Send("GetVersion\n");
  EXPECT_EQ(peer.Received(11, 1000), "GetVersion\n");
  EXPECT_EQ(
      capture.Tagged(),
      (Lines{"URT SND: No data",
             "URT SND:   0: 47 65 74 56 65 72 73 69 6F 6E 0A                 GetVersion.     "}));
}

TEST_F(SerialTest, TracesOpenReadAndEveryClose) {
  EnableLogFlags("TRA");
  capture.Clear();
  OpenPort();
  comm.ReadResponse();
  comm.serial.Close();
  comm.serial.Close();
  EXPECT_EQ(capture.Tagged(), (Lines{"TRA Serial::Open()", "TRA Serial::Read()",
                                     "TRA Serial::Close()", "TRA Serial::Close()"}));
}

TEST_F(SerialTest, LeavesSpeedAndLineFormatAsTheDriverHasThem) {
  int fd = open(peer.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  termios before{};
  tcgetattr(fd, &before);
  cfsetspeed(&before, B9600);
  before.c_cflag = (before.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB;
  tcsetattr(fd, TCSANOW, &before);
  tcgetattr(fd, &before);  // a pty keeps only what it supports
  OpenPort();
  termios after{};
  tcgetattr(fd, &after);
  close(fd);
  EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B9600));
  EXPECT_EQ(after.c_cflag & (CSIZE | PARENB | CSTOPB), before.c_cflag & (CSIZE | PARENB | CSTOPB));
  EXPECT_EQ(after.c_lflag & (ICANON | ECHO), 0u);  // but never echoes or edits lines
}

TEST_F(SerialTest, ReopeningClosesTheOldPortFirstAndTheNewOneIsExclusive) {
  OpenPort();
  auto start = Clock::now();
  OpenPort();
  EXPECT_GE(MillisecondsSince(start), 100);
  Serial other;
  try {
    other.Open(peer.ComNumber(), 115200, 1, 0, 0, 0);
    FAIL() << "a second opener got in";
  } catch (const SerialErr& error) {
    EXPECT_EQ(std::string(error.what()), "Open() fail on CreateFile() - Device or resource busy\n");
  }
  EXPECT_FALSE(other.IsOpen());
}

TEST_F(SerialTest, SystemFailuresCarryTheSystemText) {
  struct Case {
    const char* name;
    std::function<void(RobotComm&)> act;
    const char* message;
  } cases[] = {
      {"missing port", [](RobotComm& c) { c.serial.Open(77, 115200, 1, 0, 0, 0); },
       "Open() fail on CreateFile() - No such file or directory\n"},
      {"send while closed", [](RobotComm& c) { c.Send("x"); },
       "Write() fail on WriteFile() - Bad file descriptor\n"},
      {"read while closed", [](RobotComm& c) { c.ReadResponse(); },
       "ReadChar() fail on ReadFile() - Bad file descriptor\n"},
  };
  for (const Case& c : cases) {
    RobotComm fresh;
    try {
      c.act(fresh);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const Err&) {
      ADD_FAILURE() << c.name << ": a SerialErr must not be an Err";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string(error.what()), c.message) << c.name;
    }
  }
}

TEST_F(SerialTest, HangUpIsAnErrorNeverSilence) {
  OpenPort();
  peer.HangUp();
  EXPECT_THROW(
      {
        try {
          comm.ReadResponse();
        } catch (const SerialErr& error) {
          EXPECT_EQ(std::string(error.what()),
                    "ReadChar() fail on ReadFile() - Input/output error\n");
          throw;
        }
      },
      SerialErr);
  // Writes fail too once the kernel has finished the hang-up it already reported.
  bool sendFails = false;
  for (int attempt = 0; attempt < 100 && !sendFails; ++attempt) {
    try {
      comm.Send("x");
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } catch (const SerialErr&) {
      sendFails = true;
    }
  }
  EXPECT_TRUE(sendFails);
}

TEST_F(SerialTest, ReadWindowsWaitWithoutBusyingTheProcessor) {
  OpenPort();
  std::clock_t cpuStart = std::clock();
  auto wallStart = Clock::now();
  for (int i = 0; i < 5; ++i) comm.ReadResponse();
  double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  double wallMs = MillisecondsSince(wallStart);
  EXPECT_LT(cpuMs / wallMs, 0.1) << cpuMs << " ms processor in " << wallMs << " ms";
}

}  // namespace
}  // namespace tavrin
