#pragma once
// The native upload program and robot-sim of this build, as the process benches run them.
#include <string>
#include <vector>

#include "bench/bench_context.h"
#include "bench/child_process.h"
#include "bench/robot_sim_process.h"

namespace tavrin::bench {

std::string NativeProgram(const BenchContext& context, const std::string& name);
// Arguments that make robot-sim COM<kRobotSimCom> of the ports folder, plus `extra`.
std::vector<std::string> RobotSimArguments(const BenchContext& context,
                                           const std::vector<std::string>& extra = {});
// robot-sim as COM<kRobotSimCom>. Uploads each get a fresh one: the library leaves the port's
// tty exclusive (TIOCEXCL) when it closes it, and while robot-sim holds the other side open,
// nobody but root may open it again.
RobotSimProcess FreshRobot(const BenchContext& context);
// `upload -p <kRobotSimCom> -f <image>`; its output goes to `outputPath`.
ChildRun RunNativeUpload(const BenchContext& context, const std::string& imagePath,
                         const std::string& outputPath);
// The same through tavrin-bench-launcher, so that peakRssKiB is the upload's own and not the
// bench's (see peak_rss_launcher.cpp). wallSeconds and cpuSeconds then include the launcher.
ChildRun RunNativeUploadForPeak(const BenchContext& context, const std::string& imagePath,
                                const std::string& outputPath);
// Throws std::runtime_error with the end of the output when `run` did not exit with `status`.
void ExpectExit(const ChildRun& run, int status, const std::string& outputPath);

}  // namespace tavrin::bench
