#include "bench/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "bench/stats.h"

extern char** environ;

namespace tavrin::bench {
namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

double CpuSeconds(const rusage& usage) {
  auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// True once `child` has exited, false when the time ran out first.
bool WaitForExit(pid_t child, double timeoutSeconds) {
  const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
  if (pidFd < 0) return true;  // no pidfd: wait4 waits without a limit
  pollfd exited{pidFd, POLLIN, 0};
  int ready;
  do {
    ready = poll(&exited, 1, static_cast<int>(timeoutSeconds * 1000));
  } while (ready < 0 && errno == EINTR);
  close(pidFd);
  return ready > 0;
}

}  // namespace

std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& setEnv) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (setEnv.count(text.substr(0, text.find('='))) == 0) env.push_back(text);
  }
  for (const auto& entry : setEnv) env.push_back(entry.first + "=" + entry.second);
  return env;
}

ChildRun RunChild(const ChildCommand& command) {
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, command.outputPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
  std::vector<std::string> args = command.argv;
  std::vector<std::string> env = EnvironmentWith(command.setEnv);
  std::vector<char*> argPointers = Pointers(args);
  std::vector<char*> envPointers = Pointers(env);

  const Clock::time_point start = Clock::now();
  pid_t child = -1;
  const int error = posix_spawnp(&child, args[0].c_str(), &files, nullptr, argPointers.data(),
                                 envPointers.data());
  posix_spawn_file_actions_destroy(&files);
  if (error != 0) {
    throw std::runtime_error("cannot run " + args[0] + ": " + std::strerror(error));
  }
  ChildRun run;
  run.timedOut = !WaitForExit(child, command.timeoutSeconds);
  if (run.timedOut) kill(child, SIGKILL);
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  run.wallSeconds = SecondsSince(start);
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.cpuSeconds = CpuSeconds(usage);
  run.peakRssKiB = usage.ru_maxrss;
  return run;
}

std::string FileTail(const std::string& path, std::size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  const std::string text = content.str();
  return text.size() <= maxBytes ? text : text.substr(text.size() - maxBytes);
}

}  // namespace tavrin::bench
