#include "robot.h"

#include <cstdio>
#include <cstring>

#include "version_answers.h"

namespace robotsim {
namespace {

// Sent instead of REQ by the garbage-req fault: neither REQ, ACK nor NAK.
const char kGarbageReq[] = {'?', '\x00', '\xff'};

}  // namespace

const char kDefaultIdentity[] =
    "Component,Version\nSoftware,3.4.5\nModelID,TR-100\nSerial Number,SN-000123\n";

std::map<std::string, std::string> DefaultAnswers() {
  return {
      {"GetCharger\n", "FuelPercent,87\n"},
      {"GetErr\n", "No errors\n"},
  };
}

Robot::Robot(const SimOptions& options) : options_(options) {}

bool Robot::HasFault(Fault::Kind kind) const {
  for (const Fault& fault : options_.faults) {
    if (fault.kind == kind) return true;
  }
  return false;
}

long Robot::FaultParam(Fault::Kind kind) const {
  for (const Fault& fault : options_.faults) {
    if (fault.kind == kind) return fault.Param();
  }
  return 0;
}

uint64_t Robot::UploadBytesLeft() const {
  if (!inUpload_) return 0;
  const UploadRecord& upload = transcript_.uploads.back();
  return upload.announced - upload.received;
}

void Robot::Receive(const char* data, size_t size, RobotActions& actions) {
  size_t at = 0;
  while (at < size && !hungUp_) {
    if (inUpload_) {
      at += ReceiveUploadBytes(data + at, size - at, actions);
      continue;
    }
    const void* found = std::memchr(data + at, '\n', size - at);
    if (found == nullptr) {
      pendingLine_.append(data + at, size - at);
      break;
    }
    const size_t end = static_cast<const char*>(found) - data + 1;
    pendingLine_.append(data + at, end - at);
    at = end;
    std::string line;
    line.swap(pendingLine_);
    HandleLine(line, actions);
  }
  transcript_.partialLine = pendingLine_;
}

void Robot::HandleLine(const std::string& line, RobotActions& actions) {
  transcript_.commands.push_back(line);
  if (HasFault(Fault::Kind::kHangupOnCommand)) return HangUp(actions);
  if (HasFault(Fault::Kind::kSilent) || line == "\n" || IsSetTime(line)) return;
  if (line == "GetVersion\n") return AnswerVersion(actions);
  if (const std::optional<UploadCommand> upload = ParseUploadCommand(line)) {
    return StartUpload(*upload, actions);
  }
  const auto known = options_.answers.find(line);
  if (known != options_.answers.end()) {
    if (!known->second.empty()) actions.outputs.push_back({0, known->second});
    return;
  }
  actions.outputs.push_back({0, "Unknown Cmd: '" + line.substr(0, line.size() - 1) + "'\n"});
}

void Robot::AnswerVersion(RobotActions& actions) {
  std::string answer = options_.identity;
  if (HasFault(Fault::Kind::kGarbage)) {
    answer = GarbageAnswer(FaultParam(Fault::Kind::kGarbage), options_.seed);
  } else if (HasFault(Fault::Kind::kOversized)) {
    answer = OversizedAnswer(FaultParam(Fault::Kind::kOversized));
  }
  const int delayMs =
      HasFault(Fault::Kind::kLate) ? static_cast<int>(FaultParam(Fault::Kind::kLate)) : 0;
  if (!HasFault(Fault::Kind::kSplit)) {
    actions.outputs.push_back({delayMs, answer});
    return;
  }
  const size_t half = answer.size() / 2;
  actions.outputs.push_back({delayMs, answer.substr(0, half)});
  actions.outputs.push_back(
      {delayMs + static_cast<int>(FaultParam(Fault::Kind::kSplit)), answer.substr(half)});
}

// "settime Day %d hour %d min %d\n" exactly as the host prints it, with a valid time.
bool Robot::IsSetTime(const std::string& line) const {
  int day = -1, hour = -1, minute = -1;
  if (std::sscanf(line.c_str(), "settime Day %d hour %d min %d", &day, &hour, &minute) != 3) {
    return false;
  }
  char canonical[64];
  std::snprintf(canonical, sizeof canonical, "settime Day %d hour %d min %d\n", day, hour, minute);
  return line == canonical && day >= 0 && day <= 6 && hour >= 0 && hour <= 23 && minute >= 0 &&
         minute <= 59;
}

void Robot::StartUpload(const UploadCommand& command, RobotActions& actions) {
  UploadRecord upload;
  upload.commandIndex = transcript_.commands.size() - 1;
  upload.type = command.type;
  upload.reboot = command.reboot;
  upload.announced = command.announced;
  transcript_.uploads.push_back(upload);
  if (HasFault(Fault::Kind::kNoReq)) return EndUpload(UploadEnd::kNoReq);
  if (HasFault(Fault::Kind::kGarbageReq)) {
    actions.outputs.push_back({0, std::string(kGarbageReq, sizeof kGarbageReq)});
    return EndUpload(UploadEnd::kGarbageReq);
  }
  actions.outputs.push_back({0, std::string(1, static_cast<char>(kReq))});
  inUpload_ = true;
  if (HasFault(Fault::Kind::kHangupAfterBytes) && FaultParam(Fault::Kind::kHangupAfterBytes) == 0) {
    HangUp(actions);
  }
}

size_t Robot::ReceiveUploadBytes(const char* data, size_t size, RobotActions& actions) {
  UploadRecord& upload = transcript_.uploads.back();
  const bool hangupAfter = HasFault(Fault::Kind::kHangupAfterBytes);
  const uint64_t hangupAt = static_cast<uint64_t>(FaultParam(Fault::Kind::kHangupAfterBytes));
  size_t limit = size;
  if (hangupAfter && upload.received < hangupAt && hangupAt - upload.received < limit) {
    limit = static_cast<size_t>(hangupAt - upload.received);
  }
  const uint64_t blocksBefore = upload.received / kBlockSize;
  const size_t taken = TakeUploadBytes(upload, data, limit);
  const uint64_t newBlocks = upload.received / kBlockSize - blocksBefore;
  if (newBlocks > 0 && options_.blockAck && !HasFault(Fault::Kind::kNoBlockAck)) {
    actions.outputs.push_back({0, std::string(newBlocks, static_cast<char>(kAck))});
    upload.blockAcks += static_cast<uint32_t>(newBlocks);
  }
  if (hangupAfter && upload.received == hangupAt) {
    HangUp(actions);
  } else if (UploadComplete(upload)) {
    FinishUpload(actions);
  }
  return taken;
}

void Robot::FinishUpload(RobotActions& actions) {
  UploadRecord& upload = transcript_.uploads.back();
  if (HasFault(Fault::Kind::kHangupInVerdict)) return HangUp(actions);
  if (HasFault(Fault::Kind::kNoVerdict)) return EndUpload(UploadEnd::kWithheld);
  const bool accepted = UploadAccepted(upload) && !HasFault(Fault::Kind::kNak);
  upload.verdict = accepted ? Verdict::kAck : Verdict::kNak;
  actions.outputs.push_back({0, std::string(1, static_cast<char>(accepted ? kAck : kNak))});
  EndUpload(UploadEnd::kVerdict);
}

void Robot::GiveUpUpload(UploadEnd why) {
  if (inUpload_) EndUpload(why);
}

void Robot::EndUpload(UploadEnd end) {
  transcript_.uploads.back().end = end;
  inUpload_ = false;
  ++endedUploads_;
}

void Robot::HangUp(RobotActions& actions) {
  if (inUpload_) EndUpload(UploadEnd::kHangup);
  hungUp_ = true;
  transcript_.hungUp = true;
  actions.hangup = true;
}

}  // namespace robotsim
