#include "diagnostics/log_writer.h"

#include <cstdarg>
#include <cstdio>

#include "diagnostics/err.h"
#include "diagnostics/log_state.h"
#include "platform/file_access.h"
#include "platform/process.h"

namespace tavrin {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Rotation happens when the count started at 1 on opening reaches this, i.e. after 9999 lines.
constexpr int kRotateAtCount = 10000;

std::string FormatArgs(const char* format, va_list args) {
  char buffer[kMaxFormattedText + 1];
  int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  if (length < 0) return std::string();
  return buffer;  // vsnprintf cuts at the buffer's end and always terminates
}

void LogToFile(LogState& state, const std::string& prefix, const char* text, LogCategory category) {
  state.logFile->Write(FormatString("%s %3s ", prefix.c_str(), LogCategoryName(category)) + text +
                       "\n");
  state.logFile->Flush();
  if (++state.lineCount >= kRotateAtCount) OpenLogFile();
}

}  // namespace

LogState& TheLogState() {
  static LogState state;
  return state;
}

std::string FormatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatArgs(format, args);
  va_end(args);
  return text;
}

std::string FormatTimestamp(unsigned long threadId, const platform::LocalClockTime& time) {
  return FormatString("[%4.4d] %2d:%2.2d:%2.2d.%3.3d", static_cast<int>(threadId), time.hour,
                      time.minute, time.second, time.millisecond);
}

std::string LogTimestamp() {
  return FormatTimestamp(platform::CurrentThreadId(), platform::LocalTimeNow());
}

void LogLine(LogCategory category, const char* text) {
  LogState& state = TheLogState();
  platform::LockGuard hold(state.logLock);
  if (state.consoleEcho) {
    state.console->Write(LogTimestamp() + " " + LogCategoryName(category) + " " + text + "\n");
    state.console->Flush();
  }
  if (state.logFile) LogToFile(state, LogTimestamp(), text, category);
}

void LogPrint(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatArgs(format, args);
  va_end(args);
  LogLine(cat::LOG, text.c_str());
}

void LogPrintCat(LogCategory category, const char* format, ...) {
  if (!IsLogEnabled(category)) return;
  va_list args;
  va_start(args, format);
  std::string text = FormatArgs(format, args);
  va_end(args);
  LogLine(category, text.c_str());
}

void LogHexDump(LogCategory category, const char* label, std::uint32_t length, const void* data) {
  if (!IsLogEnabled(category)) return;
  if (label == nullptr) label = "";
  if (length == 0) {
    LogPrintCat(category, "%s No data", label);
    return;
  }
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  std::string hex;
  std::string chars;
  unsigned offset = 0;
  for (std::uint32_t i = 0; i < length; ++i) {
    hex += kHexDigits[bytes[i] >> 4];
    hex += kHexDigits[bytes[i] & 0x0F];
    hex += ' ';
    chars += (bytes[i] >= 32 && bytes[i] <= 126) ? static_cast<char>(bytes[i]) : '.';
    if (chars.size() == 16) {
      LogPrintCat(category, "%s %3d: %-48s %-16s", label, offset, hex.c_str(), chars.c_str());
      hex.clear();
      chars.clear();
      offset += 16;
    }
  }
  if (!chars.empty()) {
    LogPrintCat(category, "%s %3d: %-48s %-16s", label, offset, hex.c_str(), chars.c_str());
  }
}

void SetLogFile(const std::string& name) {
  LogState& state = TheLogState();
  state.logBaseName = name.substr(0, name.find('.'));
  OpenLogFile();
}

void OpenLogFile() {
  LogState& state = TheLogState();
  if (state.logFile) {
    state.logFile->Write(LogTimestamp() + "     Closing log file\n");
    state.logFile.reset();
  }
  state.logFileName = state.logBaseName + ".log";
  std::FILE* file = platform::OpenExclusiveForAppend(state.logFileName);
  if (file == nullptr) {
    throw LogErr(
        FormatString("SetLogFile() fail - fopen() for filename %s", state.logFileName.c_str()));
  }
  state.logFile = std::make_unique<FileSink>(file);
  state.logFile->Write("\n" + LogTimestamp() + "     Opening log file " + state.logFileName +
                       " - , flush all writes\n");
  state.lineCount = 1;
}

void SetConsoleEcho(bool on) { TheLogState().consoleEcho = on; }

}  // namespace tavrin
