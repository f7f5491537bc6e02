// Item 4: an upload that waits through the whole 10 s verdict window should leave the
// processor idle while it waits.
#include <unistd.h>

#include <stdexcept>

#include "bench/image_file.h"
#include "bench/native_upload.h"
#include "bench/process_benches.h"
#include "bench/robot_sim_process.h"
#include "bench/wine_processes.h"

namespace tavrin::bench {
namespace {

// Small, so that the run is the wait and hardly the transfer.
constexpr std::uint64_t kImageBytes = 64 * 1024;
const char kNoVerdict[] = "no-verdict";
const char kVerdictTimeout[] = "Timeout waiting for ACK/NAK";

// Status 2 alone would also come from a NAK or a lost REQ: the window must have run out.
void ExpectVerdictTimeout(const ChildRun& run, const std::string& outputPath) {
  ExpectExit(run, 2, outputPath);
  if (FileTail(outputPath, 4096).find(kVerdictTimeout) == std::string::npos) {
    throw std::runtime_error("the upload did not wait out the verdict window; its output ends:\n" +
                             FileTail(outputPath));
  }
}

// Z:\tmp\x for /tmp/x.
std::string WindowsPath(const std::string& posixPath) {
  std::string path = "Z:" + posixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// Sum of what each process present both times used in between; the server separately.
void AddWineCpu(const std::map<pid_t, double>& before, const std::map<pid_t, double>& after,
                pid_t server, WaitingFigures& figures) {
  figures.otherWineCpuSeconds = 0;
  for (const auto& entry : after) {
    const auto earlier = before.find(entry.first);
    if (earlier == before.end()) continue;
    const double used = entry.second - earlier->second;
    if (entry.first == server) {
      figures.wineserverCpuSeconds = used;
    } else {
      figures.otherWineCpuSeconds += used;
    }
  }
}

}  // namespace

WaitingFigures MeasureWaitingNative(const BenchContext& context) {
  const std::string image = context.workFolder + "/waiting-image";
  const std::string output = context.workFolder + "/waiting-native.out";
  WriteImageFile(image, kImageBytes);
  RobotSimProcess robot(NativeProgram(context, "robot-sim"),
                        RobotSimArguments(context, {"--fault", kNoVerdict}));
  const ChildRun run = RunNativeUpload(context, image, output);
  unlink(image.c_str());
  ExpectVerdictTimeout(run, output);
  WaitingFigures figures;
  figures.wallSeconds = run.wallSeconds;
  figures.cpuSeconds = run.cpuSeconds;
  return figures;
}

WaitingFigures MeasureWaitingWine(const BenchContext& context) {
  if (context.windowsBin.empty() || context.winePrefix.empty()) {
    throw std::runtime_error(
        "no Windows build or Wine prefix given (--windows-bin, --wine-prefix)");
  }
  const std::string image = context.workFolder + "/waiting-image";
  const std::string output = context.workFolder + "/waiting-wine.out";
  WriteImageFile(image, kImageBytes);
  const std::map<std::string, std::string> wineEnv = {{"WINEPREFIX", context.winePrefix},
                                                      {"WINEDEBUG", "-all"},
                                                      {"WINEDLLOVERRIDES", "mscoree,mshtml="}};
  RobotSimProcess robot(NativeProgram(context, "robot-sim"),
                        {"--wine-prefix", context.winePrefix, "--com", std::to_string(kRobotSimCom),
                         "--fault", kNoVerdict},
                        wineEnv);
  ChildCommand command;
  command.argv = {"wine", context.windowsBin + "/Upload.exe",
                  "-p",   std::to_string(kRobotSimCom),
                  "-f",   WindowsPath(image)};
  command.setEnv = wineEnv;
  command.outputPath = output;

  pid_t server = 0;
  const std::map<pid_t, double> before = WinePrefixCpu(context.winePrefix, server);
  AdoptDetached adopt;
  const ChildRun run = RunChild(command);
  const double uploadExeCpu = adopt.ReapDetached("Upload.exe", 5000);
  pid_t serverAfter = 0;
  const std::map<pid_t, double> after = WinePrefixCpu(context.winePrefix, serverAfter);
  unlink(image.c_str());
  ExpectVerdictTimeout(run, output);

  if (uploadExeCpu < 0) throw std::runtime_error("Upload.exe's own process was not found");
  WaitingFigures figures;
  figures.wallSeconds = run.wallSeconds;
  // start.exe, which `wine` ran, waits for Upload.exe and needs next to nothing itself.
  figures.cpuSeconds = run.cpuSeconds + uploadExeCpu;
  if (server != 0 && server == serverAfter) AddWineCpu(before, after, server, figures);
  return figures;
}

}  // namespace tavrin::bench
