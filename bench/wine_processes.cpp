#include "bench/wine_processes.h"

#include <dirent.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace tavrin::bench {
namespace {

std::string ReadProcFile(pid_t pid, const char* name) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/" + name, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool NamesPrefix(const std::string& environment, const std::string& winePrefix) {
  const std::string entry = "WINEPREFIX=" + winePrefix;
  std::istringstream entries(environment);
  std::string text;
  while (std::getline(entries, text, '\0')) {
    if (text == entry) return true;
  }
  return false;
}

// Fields 14 and 15 of /proc/<pid>/stat, counted after the command name, which may hold blanks.
double CpuSeconds(const std::string& stat) {
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 1));
  std::vector<std::string> values;
  std::string value;
  while (fields >> value) values.push_back(value);
  if (values.size() < 13) return -1;
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  return (std::atof(values[11].c_str()) + std::atof(values[12].c_str())) / ticks;
}

}  // namespace

std::map<pid_t, double> WinePrefixCpu(const std::string& winePrefix, pid_t& serverPid) {
  std::map<pid_t, double> cpu;
  serverPid = 0;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return cpu;
  while (dirent* entry = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0 || !NamesPrefix(ReadProcFile(pid, "environ"), winePrefix)) continue;
    const double seconds = CpuSeconds(ReadProcFile(pid, "stat"));
    if (seconds < 0) continue;
    cpu[pid] = seconds;
    if (ReadProcFile(pid, "comm").rfind("wineserver", 0) == 0) serverPid = pid;
  }
  closedir(proc);
  return cpu;
}

AdoptDetached::AdoptDetached() { prctl(PR_SET_CHILD_SUBREAPER, 1); }

AdoptDetached::~AdoptDetached() { prctl(PR_SET_CHILD_SUBREAPER, 0); }

double AdoptDetached::ReapDetached(const std::string& name, int waitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  double found = -1;
  while (found < 0 && std::chrono::steady_clock::now() < deadline) {
    siginfo_t ended{};
    // Look first (WNOWAIT): the name is only there until the process is reaped.
    if (waitid(P_ALL, 0, &ended, WEXITED | WNOHANG | WNOWAIT) != 0 || ended.si_pid == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    std::string comm = ReadProcFile(ended.si_pid, "comm");
    if (!comm.empty() && comm.back() == '\n') comm.pop_back();
    rusage usage{};
    if (wait4(ended.si_pid, nullptr, 0, &usage) != ended.si_pid) continue;
    if (comm == name) {
      found = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
              usage.ru_stime.tv_usec / 1e6;
    }
  }
  return found;
}

}  // namespace tavrin::bench
