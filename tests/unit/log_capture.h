#pragma once
// Catches the console copy of log lines, so tests see exactly what a user would.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "diagnostics/log_state.h"

namespace tavrin::test {

class RecordingSink : public LogSink {
 public:
  void Write(const std::string& text) override { lines.push_back(text); }
  void Flush() override {}
  std::vector<std::string> lines;
};

// Swaps the console sink for a recorder and resets the process-wide log state around a test.
class LogCapture {
 public:
  LogCapture() {
    LogState& state = TheLogState();
    auto recorder = std::make_unique<RecordingSink>();
    sink_ = recorder.get();
    saved_ = std::move(state.console);
    state.console = std::move(recorder);
    state.enabledCategories.reset();
    state.consoleEcho = true;
    state.logFile.reset();
    InitLog("");
  }
  ~LogCapture() {
    LogState& state = TheLogState();
    state.console = std::move(saved_);
    state.enabledCategories.reset();
    state.consoleEcho = true;
    state.logFile.reset();
  }
  // Lines without their stamp: "TAG text".
  std::vector<std::string> Tagged() const {
    std::vector<std::string> result;
    for (const std::string& line : sink_->lines) {
      std::size_t tag = line.find(' ', line.find(']') + 2);
      std::string rest = line.substr(tag + 1);
      if (!rest.empty() && rest.back() == '\n') rest.pop_back();
      result.push_back(rest);
    }
    return result;
  }
  const std::vector<std::string>& Raw() const { return sink_->lines; }
  void Clear() { sink_->lines.clear(); }

 private:
  std::unique_ptr<LogSink> saved_;
  RecordingSink* sink_;
};

}  // namespace tavrin::test
