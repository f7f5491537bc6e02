#pragma once
// Where a bench run keeps its files and finds the programs it measures.
#include <string>

namespace tavrin::bench {

struct BenchContext {
  std::string workFolder;   // scratch files (images, logs, the ports folder); removed at the end
  std::string portsFolder;  // TAVRIN_PORTS, for this process and the programs it starts
  std::string sysfsFolder;  // robot-sim's USB fixture, which goes with a ports folder
  std::string nativeBin;    // upload, libTavrin.so, robot-sim
  std::string windowsBin;   // Upload.exe and Tavrin.dll; empty: no Wine figure
  std::string winePrefix;   // made and served by scripts/bench.sh
  bool quick = false;       // fewer rounds, for a look while working on the bench itself
};

// COM numbers: one for in-process runs, one for robot-sim, so links never collide.
constexpr int kInProcessCom = 5;
constexpr int kRobotSimCom = 7;

}  // namespace tavrin::bench
