#pragma once
// What the fuzz targets share: a library that stays quiet, a fresh log state for every input,
// and a check that stops the run loudly.
#include <cstddef>
#include <cstdint>
#include <string>

#include "diagnostics/log_sinks.h"

namespace tavrin::fuzz {

// A console sink that drops every line and only counts them.
class CountingSink : public LogSink {
 public:
  void Write(const std::string&) override { ++lines; }
  void Flush() override {}
  std::size_t lines = 0;
};

// Puts a counting sink in place of the log console and sends the library's standard output
// (report lines, identity tables) nowhere. Done once per process; later calls return the sink.
CountingSink& QuietConsole();

// The log state of a freshly loaded library: tags known, nothing enabled, console echo on, no
// log file, no lines counted.
void ResetLogState();

// Aborts with `what` when `holds` is false, so libFuzzer and the replay both see a failure.
void Require(bool holds, const char* what);

inline std::string AsText(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace tavrin::fuzz
