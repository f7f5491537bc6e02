// Receiving side of an upload: image bytes, then a 4-byte checksum trailer.
#ifndef TAVRIN_TOOLS_ROBOT_SIM_UPLOAD_RECEIVER_H_
#define TAVRIN_TOOLS_ROBOT_SIM_UPLOAD_RECEIVER_H_

#include <cstddef>
#include <optional>
#include <string>

#include "robot_sim.h"

namespace robotsim {

struct UploadCommand {
  std::string type;
  bool reboot = false;
  uint64_t announced = 0;
};

// Reads "Upload <type> [reboot ]<n>\n" with n >= 4; anything else is not an upload.
std::optional<UploadCommand> ParseUploadCommand(const std::string& line);

// Takes up to `size` bytes into `record` and returns how many it took: never more than the
// upload has left. Keeps the byte sum, the size field and the trailer up to date.
size_t TakeUploadBytes(UploadRecord& record, const char* data, size_t size);

inline bool UploadComplete(const UploadRecord& record) {
  return record.received == record.announced;
}

// The robot accepts an image whose trailer matches its byte sum; a "code" image must also
// carry its own length in bytes 20..23.
bool UploadAccepted(const UploadRecord& record);

}  // namespace robotsim

#endif  // TAVRIN_TOOLS_ROBOT_SIM_UPLOAD_RECEIVER_H_
