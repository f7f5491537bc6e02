#include "upload/os_util.h"

#include <stdexcept>

#include "platform/file_access.h"

namespace tavrin {

std::int64_t OSUtil::Stat64(const std::string& path) {
  std::int64_t size = 0;
  switch (platform::FileSize64(path, size)) {
    case platform::StatOutcome::Ok:
      return size;
    case platform::StatOutcome::NotFound:
      throw std::runtime_error("OSUtil::Stat() fail - File " + path + " not found.");
    case platform::StatOutcome::InvalidParameter:
      throw std::runtime_error("OSUtil::Stat() fail - Invalid parameter to __stat64.");
    default:
      throw std::runtime_error("OSUtil::Stat() fail - Unexpected error in __stat64()");
  }
}

std::int32_t OSUtil::Stat(const std::string& path) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(Stat64(path) & 0xFFFFFFFF));
}

}  // namespace tavrin
