#pragma once
// The log writer: stamped, tagged lines to the console and the log file.
#include <cstdint>
#include <string>

#include "diagnostics/log_category.h"
#include "platform/clock.h"

namespace tavrin {

// Longest formatted text; longer results are cut.
constexpr std::size_t kMaxFormattedText = 2047;

// Writes one line to every active sink, whatever categories are enabled.
void LogLine(LogCategory category, const char* text);
// Formats and logs under LOG, whatever categories are enabled.
void LogPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Formats and logs under `category` when it is enabled; costs only the flag test otherwise.
void LogPrintCat(LogCategory category, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void LogHexDump(LogCategory category, const char* label, std::uint32_t length, const void* data);

std::string FormatTimestamp(unsigned long threadId, const platform::LocalClockTime& time);
std::string LogTimestamp();
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Makes `name`, cut at its first dot, plus ".log" the log file. Throws LogErr.
void SetLogFile(const std::string& name);
void OpenLogFile();
void SetConsoleEcho(bool on);

}  // namespace tavrin
