#pragma once
// The Upload program of one build, run for real against a simulated robot: the native build
// directly, the Windows builds under Wine.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/process_runner.h"
#include "tools/robot-sim/robot_sim.h"

namespace tavrin::test {

enum class Build { kNative, kWindows, kWindows32 };

std::string BuildName(Build build);
// For INSTANTIATE_TEST_SUITE_P: the builds whose binaries this run was given.
std::vector<Build> AllBuilds();
std::vector<Build> FullTestBuilds();  // native and x86_64 Windows

class UploadTarget {
 public:
  explicit UploadTarget(Build build);

  // False when this run was not given the build (the test then skips).
  bool Available() const;
  Build build() const { return build_; }

  // A COM number no other test of this run uses at the same time.
  int FreeComNumber();
  // Makes the robot's pty the port COM<com>. With a USB identity the port is also registered
  // as that USB device, so that automatic search finds it (on Windows: in the registry, which
  // tests share; such tests hold the "wine_registry" lock).
  robotsim::Findable Attach(const std::string& devicePath, int com,
                            std::optional<robotsim::UsbId> usb = std::nullopt);

  // Runs Upload with `words` in the target's working folder. The Windows builds' CR LF line
  // ends come back as LF.
  // `workFolder` lets a second run go on at the same time in a folder of its own.
  ProcessResult Run(const std::vector<std::string>& words, double timeoutSeconds = 60,
                    const std::string& workFolder = "");
  // The same for the test host that calls StartDLL twice (tests/host/call_twice.cpp).
  ProcessResult RunCallTwice(const std::vector<std::string>& words, double timeoutSeconds = 60);
  // The five host buffers of the last run, as the host wrote them (TAVRIN_RESULT_JSON):
  // info, software, modelId, serialNo, result. Empty when the host wrote none.
  std::map<std::string, std::string> HostBuffers() const;
  // How the program names one of our files.
  std::string FilePath(const std::string& posixPath) const;
  const std::string& WorkFolder() const { return work_.path(); }

 private:
  ProcessResult RunProgram(const std::string& nativeName, const std::string& windowsName,
                           const std::vector<std::string>& words, double timeoutSeconds,
                           const std::string& workFolder);

  Build build_;
  std::string binDir_;
  TempFolder ports_;
  TempFolder sysfs_;
  TempFolder work_;
};

}  // namespace tavrin::test
