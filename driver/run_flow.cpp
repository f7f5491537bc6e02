#include "driver/run_flow.h"

#include "diagnostics/log_stream.h"
#include "driver/driver_settings.h"
#include "platform/file_access.h"
#include "platform/process.h"
#include "robot_link/robot_clock.h"
#include "robot_link/robot_comm.h"
#include "upload/upload_file.h"

namespace tavrin {
namespace {

constexpr const char* kConnected = "Robot connected on COM";

void RunUpload(const RunOptions& options, HostBuffers& buffers) {
  ReportLine("Current Directory is: " + platform::CurrentDirectory());
  if (UploadFile(options.uploadFile, options.uploadType, options.rebootAfterUpload)) {
    buffers.result.Set("Upload OK");
  }
  g_robotComm.serial.Close();
}

}  // namespace

void ReportIdentity(const VersionTable& table, HostBuffers& buffers) {
  buffers.info.Set("");
  for (const auto& entry : table) {
    const std::string label = entry.first + " ";
    const std::string& value = entry.second;
    ReportDottedLine(label, 30, value);
    if (label == "Software ") {
      buffers.software.Set(value);
    } else if (label == "ModelID ") {
      buffers.modelId.Set(value);
    } else if (label == "Serial Number ") {
      buffers.serialNo.Set(value);
    }
    // Up to a zero byte, as the host reads it.
    buffers.info.Append(std::string(label.c_str()) + "=" + value.c_str() + "\r\n");
  }
  ReportLine("");
}

void RunApiScript(const std::string& scriptFile) {
  platform::UniqueFile script(platform::OpenTextForReading(scriptFile));
  if (!script) return;  // a missing script ends the action without a word
  g_robotComm.Send("\n");
  g_robotComm.ReadResponse();
  std::string line;
  while (platform::ReadTextLine(script.get(), kScriptLineChars, line)) {
    ReportLine("Sending Cmd: '" + ScriptCommandDisplay(line) + "'");
    g_robotComm.Send(line);
    ReportLine("Received Response: '" + g_robotComm.ReadResponse() + "'");
  }
}

std::string ScriptCommandDisplay(const std::string& piece) {
  return piece.empty() ? piece : piece.substr(0, piece.size() - 1);
}

void SendPassThrough(const std::string& command, HostBuffers& buffers) {
  const std::string line = command + "\n";
  ReportLine("Sending Cmd: '" + line + "'");
  g_robotComm.Send(line);
  buffers.result.Append(g_robotComm.ReadResponse());
  g_robotComm.serial.Close();
}

void RunRobot(const RunOptions& options, HostBuffers& buffers) {
  DriverSettings& settings = TheDriverSettings();
  if (options.autoFind) settings.robotPort = FindRobotPort();
  OpenRobotPort(g_robotComm, g_versionTable, settings.robotPort);
  buffers.result.Set(kConnected);
  ReportLine("");
  ReportLine(kConnected + std::to_string(settings.robotPort));
  ReportIdentity(g_versionTable, buffers);
  if (options.setClock) {
    SetRobotClock();
  } else if (!options.apiScriptFile.empty()) {
    RunApiScript(options.apiScriptFile);
  } else if (options.passThrough) {
    SendPassThrough(options.passThroughCommand, buffers);
  } else if (!options.uploadFile.empty()) {
    RunUpload(options, buffers);
  } else {
    ReportLine(" Download file not specified.");
  }
}

}  // namespace tavrin
