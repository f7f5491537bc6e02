// robot-sim: the robot on a pseudo-terminal, for demos and tests.
#include <signal.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "cli_options.h"
#include "robot_sim.h"

namespace {

using robotsim::CliOptions;

// Waits for SIGINT/SIGTERM, or for the first upload to end when asked to.
void WaitForTheEnd(const CliOptions& options, const robotsim::RobotSim& sim,
                   const sigset_t& stopSignals) {
  const timespec tick{0, 100 * 1000 * 1000};
  while (true) {
    const int signal = options.exitAfterUpload ? sigtimedwait(&stopSignals, nullptr, &tick)
                                               : sigwaitinfo(&stopSignals, nullptr);
    if (signal == SIGINT || signal == SIGTERM) return;
    if (options.exitAfterUpload && sim.WaitForUploadVerdict(0)) return;
  }
}

int Run(const CliOptions& options) {
  // Blocked before the robot's thread starts, so that only sigwait sees them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  robotsim::RobotSim sim(options.sim);
  std::optional<robotsim::Findable> native;
  std::optional<robotsim::Findable> wine;
  if (!options.portsDir.empty()) {
    native = robotsim::MakeFindableNative(sim, options.portsDir, options.sysfsRoot, options.com,
                                          options.usb);
  }
  if (!options.winePrefix.empty()) {
    wine = robotsim::MakeFindableWine(sim, options.winePrefix, options.com, options.usb);
  }
  std::printf("%s\n", sim.SlavePath().c_str());
  std::fflush(stdout);

  WaitForTheEnd(options, sim, stopSignals);

  wine.reset();
  native.reset();
  sim.Stop();
  if (!options.transcriptPath.empty()) {
    std::ofstream out(options.transcriptPath, std::ios::binary);
    out << sim.GetTranscript().ToText();
    if (!out.flush()) {
      std::fprintf(stderr, "robot-sim: cannot write %s\n", options.transcriptPath.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CliOptions options;
  try {
    options = robotsim::ParseCommandLine(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "robot-sim: %s (see --help)\n", error.what());
    return 2;
  }
  if (options.help) {
    std::fputs(robotsim::HelpText(), stdout);
    return 0;
  }
  try {
    return Run(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
