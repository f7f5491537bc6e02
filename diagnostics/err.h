#pragma once
// The library's own error classes. Each carries one finished message, made where the failure
// happens; only the export catches them.
#include <stdexcept>
#include <string>

namespace tavrin {

class Err : public std::runtime_error {
 public:
  explicit Err(const std::string& message) : std::runtime_error(message) {}
  virtual std::string Message() const { return what(); }
  virtual std::string Name() const { return "Err"; }
};

// The log file could not be opened.
class LogErr : public Err {
 public:
  explicit LogErr(const std::string& message) : Err(message) {}
  std::string Name() const override { return "Log"; }
};

}  // namespace tavrin
