#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/file_access.h"

namespace tavrin::platform {

StatOutcome FileSize64(const std::string& path, std::int64_t& size) {
  struct stat status {};
  if (stat(path.c_str(), &status) == 0) {
    size = static_cast<std::int64_t>(status.st_size);
    return StatOutcome::Ok;
  }
  if (errno == ENOENT || errno == ENOTDIR) return StatOutcome::NotFound;
  if (errno == EINVAL || errno == ENAMETOOLONG) return StatOutcome::InvalidParameter;
  return StatOutcome::OtherError;
}

std::FILE* OpenSharedForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

std::FILE* OpenExclusiveForAppend(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  // An advisory lock is the closest POSIX comes to Windows' deny-all sharing.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int reason = errno;
    close(fd);
    errno = reason;
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "a");
  if (file == nullptr) close(fd);
  return file;
}

std::FILE* OpenTextForReading(const std::string& path) { return std::fopen(path.c_str(), "r"); }

bool ReadTextLine(std::FILE* file, std::size_t maxChars, std::string& line) {
  std::vector<char> buffer(maxChars + 1);
  if (std::fgets(buffer.data(), static_cast<int>(buffer.size()), file) == nullptr) return false;
  line = buffer.data();
  if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) {
    line.erase(line.size() - 2, 1);
  }
  return true;
}

std::string LastFileErrorText() { return std::strerror(errno); }

}  // namespace tavrin::platform
