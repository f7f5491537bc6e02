#pragma once
// What the host makes of the buffers after a call: its report and its exit status.
#include <string>

namespace tavrin::host {

struct HostBufferTexts {
  std::string info;
  std::string software;
  std::string modelId;
  std::string serialNo;
  std::string result;
};

// Exit statuses of the Upload program. 1 is the library's own (usage text, port listing).
enum ExitStatus {
  kUploadOk = 0,          // the robot confirmed the upload ("Upload OK")
  kConnected = 2,         // the robot was connected; no upload was confirmed
  kNotConnected = 3,      // no robot was reached (see standard error)
  kLibraryMissing = 4,    // the library or its entry point could not be loaded
  kResultFileFailed = 5,  // TAVRIN_RESULT_JSON could not be written
};

int ExitStatusFor(const HostBufferTexts& buffers);
std::string ReportText(const HostBufferTexts& buffers);
std::string ToJson(const HostBufferTexts& buffers);

}  // namespace tavrin::host
