#include "bench/robot_sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "bench/child_process.h"

namespace tavrin::bench {
namespace {

// Making the port findable under Wine runs regedit, which can take a while on a cold server.
constexpr int kStartTimeoutMs = 60000;

// The first line `fd` delivers, without its line end; empty when none came in time.
std::string FirstLine(int fd) {
  std::string line;
  for (;;) {
    pollfd readable{fd, POLLIN, 0};
    if (poll(&readable, 1, kStartTimeoutMs) <= 0) return "";
    char c;
    const ssize_t count = read(fd, &c, 1);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return "";
    if (c == '\n') return line;
    line += c;
  }
}

}  // namespace

RobotSimProcess::RobotSimProcess(const std::string& program,
                                 const std::vector<std::string>& arguments,
                                 const std::map<std::string, std::string>& setEnv) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&files, out[1], STDOUT_FILENO);
  std::vector<std::string> args = {program};
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<std::string> env = EnvironmentWith(setEnv);
  std::vector<char*> argPointers, envPointers;
  for (std::string& arg : args) argPointers.push_back(arg.data());
  argPointers.push_back(nullptr);
  for (std::string& entry : env) envPointers.push_back(entry.data());
  envPointers.push_back(nullptr);
  const int error =
      posix_spawn(&pid_, program.c_str(), &files, nullptr, argPointers.data(), envPointers.data());
  posix_spawn_file_actions_destroy(&files);
  close(out[1]);
  if (error != 0) {
    close(out[0]);
    throw std::runtime_error("cannot run " + program + ": " + std::strerror(error));
  }
  device_ = FirstLine(out[0]);
  close(out[0]);
  if (device_.empty()) {
    Stop();
    throw std::runtime_error("robot-sim did not start (see its messages above)");
  }
}

RobotSimProcess::~RobotSimProcess() { Stop(); }

void RobotSimProcess::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

}  // namespace tavrin::bench
