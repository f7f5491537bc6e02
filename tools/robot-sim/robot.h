// The robot's behaviour on the link, free of I/O: bytes in, bytes (and hang-ups) out.
#ifndef TAVRIN_TOOLS_ROBOT_SIM_ROBOT_H_
#define TAVRIN_TOOLS_ROBOT_SIM_ROBOT_H_

#include <string>
#include <vector>

#include "robot_sim.h"
#include "upload_receiver.h"

namespace robotsim {

struct RobotOutput {
  int delayMs = 0;
  std::string bytes;
};

struct RobotActions {
  std::vector<RobotOutput> outputs;  // in the order the robot sends them
  bool hangup = false;               // close the link once the outputs have been read
};

class Robot {
 public:
  explicit Robot(const SimOptions& options);

  // Handles bytes from the link. After deciding to hang up it ignores the rest.
  void Receive(const char* data, size_t size, RobotActions& actions);
  // Abandons a running upload (idle link, simulator stopping) and goes back to commands.
  void GiveUpUpload(UploadEnd why);

  bool InUpload() const { return inUpload_; }
  uint64_t UploadBytesLeft() const;
  bool HasFault(Fault::Kind kind) const;
  long FaultParam(Fault::Kind kind) const;
  const Transcript& transcript() const { return transcript_; }
  size_t EndedUploads() const { return endedUploads_; }

 private:
  void HandleLine(const std::string& line, RobotActions& actions);
  void AnswerVersion(RobotActions& actions);
  bool IsSetTime(const std::string& line) const;
  void StartUpload(const UploadCommand& command, RobotActions& actions);
  size_t ReceiveUploadBytes(const char* data, size_t size, RobotActions& actions);
  void FinishUpload(RobotActions& actions);
  void EndUpload(UploadEnd end);
  void HangUp(RobotActions& actions);

  const SimOptions options_;
  Transcript transcript_;
  std::string pendingLine_;
  bool inUpload_ = false;
  bool hungUp_ = false;
  size_t endedUploads_ = 0;
};

}  // namespace robotsim

#endif  // TAVRIN_TOOLS_ROBOT_SIM_ROBOT_H_
