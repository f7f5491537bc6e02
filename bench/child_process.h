#pragma once
// Runs a program to its end and reports what the kernel accounted to it (wait4).
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace tavrin::bench {

struct ChildCommand {
  std::vector<std::string> argv;              // argv[0] is looked up in PATH
  std::map<std::string, std::string> setEnv;  // added to, or replacing, our environment
  std::string outputPath;                     // standard output and error go here
  double timeoutSeconds = 120;
};

struct ChildRun {
  int exitStatus = -1;  // -1 when a signal ended it
  bool timedOut = false;
  double wallSeconds = 0;  // from spawning to its exit
  double cpuSeconds = 0;   // user + system, its own and its waited-for children's
  long peakRssKiB = 0;     // ru_maxrss
};

// Environment entries for posix_spawn: ours with `setEnv` applied.
std::vector<std::string> EnvironmentWith(const std::map<std::string, std::string>& setEnv);
// Throws std::runtime_error when the program cannot be started.
ChildRun RunChild(const ChildCommand& command);
// The last `maxBytes` of a file, to show why a run failed.
std::string FileTail(const std::string& path, std::size_t maxBytes = 600);

}  // namespace tavrin::bench
