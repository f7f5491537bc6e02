#include "upload/upload_file.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "diagnostics/log_stream.h"
#include "diagnostics/log_writer.h"
#include "driver/driver_settings.h"
#include "platform/clock.h"
#include "robot_link/robot_comm.h"
#include "upload/handshake.h"
#include "upload/image_transfer.h"
#include "upload/os_util.h"

namespace tavrin {
namespace {

constexpr std::uint32_t kAfterCommandMs = 100;
constexpr int kReqReads = 15;
constexpr std::uint32_t kVerdictWindowMs = 10000;
constexpr std::uint32_t kUnconfirmedSettleMs = 5000;
constexpr std::uint32_t kRebootWaitMs = 10000;

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void SummaryLine(const std::string& label, const std::string& value) {
  ReportDottedLine(label, 20, value);
}

std::string OptionText(bool reboot, bool handshake) {
  std::string options;
  if (reboot) options += "Reboot after upload,";
  if (!handshake) options += " Disable handshake with robot,";
  if (!options.empty()) options.pop_back();
  return options;
}

std::string DumpedResponse(const char* label) {
  std::string response = g_robotComm.ReadResponse();
  LogHexDump(cat::DB1, label, static_cast<std::uint32_t>(response.size()), response.data());
  return response;
}

void WaitForReq(bool handshake) {
  for (int read = 1;; ++read) {
    std::string response = DumpedResponse("Receive before blast:");
    if (!handshake || response.find(kReq) != std::string::npos) return;
    if (read == kReqReads) {
      throw std::runtime_error(
          "Timeout waiting for REQ handshake character from robot before file blast");
    }
  }
}

// Without the handshake the robot's verdict is not awaited, only given time.
bool FinishUnconfirmed(bool reboot) {
  platform::SleepMs(kUnconfirmedSettleMs);
  DumpedResponse("Receive after blast:");
  ReportLine("Upload sent to robot.");
  g_robotComm.Send(std::string());
  if (reboot) {
    g_robotComm.serial.Close();
    platform::SleepMs(kUnconfirmedSettleMs);
    ReportLine("Robot reboot requested. Might have been ignored");
  }
  return true;
}

bool AwaitVerdict() {
  const std::uint32_t start = platform::TickCount();
  for (;;) {
    std::string response = DumpedResponse("Receive after blast:");
    if (response.find(kAck) != std::string::npos) {
      ReportLine("Upload completed OK.");
      return true;
    }
    if (response.find(kNak) != std::string::npos) {
      ReportLine("RB-40 Reported Upload failed.");
      return false;
    }
    if (platform::TickCount() - start > kVerdictWindowMs) {
      throw std::runtime_error(
          "Timeout waiting for ACK/NAK handshake character from robot after upload.");
    }
  }
}

}  // namespace

bool UploadFile(const std::string& fileName, const std::string& type, bool reboot) {
  const std::int64_t size64 = OSUtil::Stat64(fileName);
  // The command carries the size plus the trailer as a signed 32-bit number.
  if (size64 > std::numeric_limits<std::int32_t>::max() - 4) {
    throw std::runtime_error("File " + fileName + " is too large to upload (" +
                             std::to_string(size64) + " bytes); images must be below 2 GiB.");
  }
  const std::int32_t fileSize = static_cast<std::int32_t>(size64);
  const bool encrypted = EndsWith(fileName, ".enc");
  const DriverSettings& settings = TheDriverSettings();
  const bool handshake = settings.handshakeEnabled;

  ReportLine("Upload");
  SummaryLine("File", fileName);
  SummaryLine("File size", std::to_string(fileSize));
  SummaryLine("Type", type);
  SummaryLine("Options", OptionText(reboot, handshake));
  ReportLine("");

  std::string command =
      "Upload " + type + " " + (reboot ? "reboot " : "") + std::to_string(fileSize + 4) + "\n";
  LogHexDump(cat::DB1, "Command:", static_cast<std::uint32_t>(command.size()), command.data());
  g_robotComm.Send(command);
  platform::SleepMs(kAfterCommandMs);

  WaitForReq(handshake);

  const bool patchSize = type == "code" && !encrypted;
  if (settings.blastWithAck) {
    ReportLine("Using file blast with block size " + std::to_string(kAckBlockSize / 1024) +
               "k ...");
    BlastFileWithAck(fileName, fileSize, patchSize);
  } else {
    ReportLine("Using one large file blast ...");
    BlastFile(fileName, fileSize, patchSize);
  }

  bool accepted;
  if (!handshake) {
    accepted = FinishUnconfirmed(reboot);
  } else {
    accepted = AwaitVerdict();
  }
  if (reboot && accepted) {
    ReportLine("Robot reboot requested ... close serial port and wait 10 seconds ...");
    g_robotComm.serial.Close();
    platform::SleepMs(kRebootWaitMs);
  }
  return accepted;
}

}  // namespace tavrin
