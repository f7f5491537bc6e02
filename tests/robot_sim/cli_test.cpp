// The robot-sim tool as demos and process tests run it.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "robot_sim.h"
#include "slave_port.h"

extern char** environ;

namespace robotsim {
namespace {

namespace fs = std::filesystem;
using testing::ByteSum;
using testing::MakeImage;
using testing::SlavePort;
using testing::Trailer;

// Runs robot-sim with its stdout on a pipe.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.insert(args.begin(), ROBOT_SIM_BINARY);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int error = posix_spawn(&pid_, ROBOT_SIM_BINARY, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    stdout_ = out[0];
    if (error != 0) throw std::runtime_error("cannot start robot-sim");
  }
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(stdout_);
  }

  std::string FirstLine(int ms) {
    std::string line;
    char c;
    pollfd readable{stdout_, POLLIN, 0};
    while (poll(&readable, 1, ms) > 0 && read(stdout_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }

  // The exit code, or -1 if it did not exit normally within `ms`.
  int WaitForExit(int ms) {
    int status = 0;
    for (int waited = 0; waited < ms; waited += 10) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      usleep(10 * 1000);
    }
    return -1;
  }

  void Signal(int signal) { kill(pid_, signal); }

 private:
  pid_t pid_ = -1;
  int stdout_ = -1;
};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/robot-sim-cli-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

TEST_F(CliTest, FindableUntilSigtermThenCleansUpAndWritesTheTranscript) {
  const fs::path transcript = root_ / "transcript.txt";
  SimProcess sim({"--ports-dir", root_ / "ports", "--sysfs", root_ / "sys", "--com", "2", "--usb",
                  "secondary", "--identity", "Component,Version\\nSoftware,1.0\\n", "--transcript",
                  transcript});
  const std::string slave = sim.FirstLine(5000);
  ASSERT_EQ(slave.rfind("/dev/pts/", 0), 0u) << slave;
  EXPECT_EQ(fs::read_symlink(root_ / "ports/com2"), slave);
  EXPECT_EQ(ReadText(root_ / "sys/devices/usb1/1-2/idVendor"), "04e8\n");
  {
    SlavePort port(slave);
    ASSERT_TRUE(port.Send("GetVersion\n"));
    EXPECT_EQ(port.ReadFor(200), "Component,Version\nSoftware,1.0\n");
  }
  sim.Signal(SIGTERM);
  ASSERT_EQ(sim.WaitForExit(5000), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(root_ / "ports/com2")));
  EXPECT_FALSE(fs::exists(root_ / "sys/devices/usb1/1-2"));
  EXPECT_EQ(ReadText(transcript), "command \"GetVersion\\n\"\n");
}

TEST_F(CliTest, ExitsByItselfAfterTheFirstUpload) {
  const fs::path transcript = root_ / "transcript.txt";
  SimProcess sim(
      {"--block-ack", "--fault", "nak", "--exit-after-upload", "--transcript", transcript});
  const std::string slave = sim.FirstLine(5000);
  const std::string image = MakeImage(kBlockSize, kBlockSize);
  {
    SlavePort port(slave);
    ASSERT_TRUE(port.Send("Upload code " + std::to_string(kBlockSize + 4) + "\n"));
    ASSERT_EQ(port.Read(1, 1000), std::string(1, static_cast<char>(kReq)));
    ASSERT_TRUE(port.Send(image + Trailer(ByteSum(image))));
    EXPECT_EQ(port.Read(2, 1000), "\x06\x15");  // block ACK, then NAK
  }
  ASSERT_EQ(sim.WaitForExit(5000), 0);
  const std::string text = ReadText(transcript);
  EXPECT_NE(text.find("block_acks=1 verdict=NAK end=verdict\n"), std::string::npos) << text;
}

TEST_F(CliTest, BadOptionsExitWithUsageError) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--fault", "loud"},
                                               {"--ports-dir", "x"},
                                               {"--frobnicate"},
                                               {"--ports-dir", "x", "--sysfs", "y"}}) {
    SimProcess sim(args);
    EXPECT_EQ(sim.WaitForExit(5000), 2) << args[0];
  }
}

}  // namespace
}  // namespace robotsim
