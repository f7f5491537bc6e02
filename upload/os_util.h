#pragma once
#include <cstdint>
#include <string>

namespace tavrin {

class OSUtil {
 public:
  // The file's size from the 64-bit status call. Throws a runtime error naming the failure.
  static std::int64_t Stat64(const std::string& path);
  // The same size cut to its low 32 bits, as the robot's protocol carries it.
  static std::int32_t Stat(const std::string& path);
};

}  // namespace tavrin
