#pragma once
#include <stdexcept>
#include <string>

namespace tavrin {

// A failure of the serial port, ending with the system's own text. Deliberately not an Err.
class SerialErr : public std::runtime_error {
 public:
  explicit SerialErr(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tavrin
