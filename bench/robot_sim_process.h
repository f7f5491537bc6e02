#pragma once
// robot-sim as a separate process, as users and the process tests run it.
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace tavrin::bench {

class RobotSimProcess {
 public:
  // Starts `program` with `arguments` and waits until it prints its device (it may first run
  // `wine regedit`). Throws std::runtime_error.
  RobotSimProcess(const std::string& program, const std::vector<std::string>& arguments,
                  const std::map<std::string, std::string>& setEnv = {});
  // Asks it to stop (SIGTERM) and reaps it.
  ~RobotSimProcess();
  RobotSimProcess(const RobotSimProcess&) = delete;
  RobotSimProcess& operator=(const RobotSimProcess&) = delete;

  const std::string& DevicePath() const { return device_; }

 private:
  void Stop();

  pid_t pid_ = -1;
  std::string device_;
};

}  // namespace tavrin::bench
