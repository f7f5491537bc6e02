#include <share.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/file_access.h"

namespace tavrin::platform {

StatOutcome FileSize64(const std::string& path, std::int64_t& size) {
  struct _stat64 status {};
  if (_stat64(path.c_str(), &status) == 0) {
    size = status.st_size;
    return StatOutcome::Ok;
  }
  if (errno == ENOENT) return StatOutcome::NotFound;
  if (errno == EINVAL) return StatOutcome::InvalidParameter;
  return StatOutcome::OtherError;
}

std::FILE* OpenSharedForReading(const std::string& path) {
  return _fsopen(path.c_str(), "rb", _SH_DENYNO);
}

std::FILE* OpenExclusiveForAppend(const std::string& path) {
  return _fsopen(path.c_str(), "a", _SH_DENYRW);
}

std::FILE* OpenTextForReading(const std::string& path) { return std::fopen(path.c_str(), "rt"); }

bool ReadTextLine(std::FILE* file, std::size_t maxChars, std::string& line) {
  std::vector<char> buffer(maxChars + 1);
  if (std::fgets(buffer.data(), static_cast<int>(buffer.size()), file) == nullptr) return false;
  line = buffer.data();
  return true;
}

std::string LastFileErrorText() { return std::strerror(errno); }

}  // namespace tavrin::platform
