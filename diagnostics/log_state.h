#pragma once
// The one process-wide log state, built when the library loads.
#include <bitset>
#include <map>
#include <memory>
#include <string>

#include "diagnostics/log_category.h"
#include "diagnostics/log_sinks.h"
#include "platform/process.h"

namespace tavrin {

struct LogState {
  platform::Lock logLock;
  std::map<std::string, LogCategory> categoryTable;
  std::bitset<32> enabledCategories;
  bool consoleEcho = true;
  std::unique_ptr<LogSink> console = std::make_unique<ConsoleSink>();
  std::unique_ptr<FileSink> logFile;
  std::string logBaseName;
  std::string logFileName;
  int lineCount = 0;
};

LogState& TheLogState();

}  // namespace tavrin
