#include "bench/native_upload.h"

#include <fstream>
#include <stdexcept>

namespace tavrin::bench {

std::string NativeProgram(const BenchContext& context, const std::string& name) {
  return context.nativeBin + "/" + name;
}

std::vector<std::string> RobotSimArguments(const BenchContext& context,
                                           const std::vector<std::string>& extra) {
  std::vector<std::string> arguments = {"--ports-dir", context.portsFolder,
                                        "--sysfs",     context.sysfsFolder,
                                        "--com",       std::to_string(kRobotSimCom)};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  return arguments;
}

RobotSimProcess FreshRobot(const BenchContext& context) {
  return RobotSimProcess(NativeProgram(context, "robot-sim"), RobotSimArguments(context));
}

namespace {

ChildCommand UploadCommand(const BenchContext& context, const std::string& imagePath,
                           const std::string& outputPath) {
  ChildCommand command;
  command.argv = {NativeProgram(context, "upload"), "-p", std::to_string(kRobotSimCom), "-f",
                  imagePath};
  command.setEnv = {{"TAVRIN_PORTS", context.portsFolder}};
  command.outputPath = outputPath;
  return command;
}

}  // namespace

ChildRun RunNativeUpload(const BenchContext& context, const std::string& imagePath,
                         const std::string& outputPath) {
  return RunChild(UploadCommand(context, imagePath, outputPath));
}

ChildRun RunNativeUploadForPeak(const BenchContext& context, const std::string& imagePath,
                                const std::string& outputPath) {
  ChildCommand command = UploadCommand(context, imagePath, outputPath);
  const std::string resultPath = outputPath + ".peak";
  command.argv.insert(command.argv.begin(),
                      {NativeProgram(context, "tavrin-bench-launcher"), resultPath});
  ChildRun run = RunChild(command);
  std::ifstream result(resultPath);
  if (!(result >> run.peakRssKiB)) throw std::runtime_error("the launcher gave no peak memory");
  return run;
}

void ExpectExit(const ChildRun& run, int status, const std::string& outputPath) {
  if (!run.timedOut && run.exitStatus == status) return;
  throw std::runtime_error("upload ended with status " + std::to_string(run.exitStatus) +
                           (run.timedOut ? " (timed out)" : "") + ", not " +
                           std::to_string(status) + "; its output ends:\n" + FileTail(outputPath));
}

}  // namespace tavrin::bench
