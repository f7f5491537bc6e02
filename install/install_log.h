#pragma once
// The installation log: "<installDir>\log\Install.log", one line per step.
#include <cstddef>
#include <cstdio>
#include <string>

namespace install {

// The log path has a fixed room of 1024 bytes, terminating zero included.
constexpr std::size_t kLogPathSize = 1024;

// Writes "<installDir>\log\Install.log" into `logPath`. Returns false, leaving an empty text,
// when the path does not fit; the program then runs without a log.
bool FormLogPath(const std::string& installDir, char (&logPath)[kLogPathSize]);

// Appends "<number>\t<message>[<folder>]\r\n" when `log` is open; does nothing otherwise. The
// folder is copied literally, so a percent sign in it is no format directive.
void WriteLogEntry(std::FILE* log, int number, const char* message, const char* folder = nullptr);

// Both do nothing when there is no log.
void FlushLog(std::FILE* log);
void CloseLog(std::FILE* log);

}  // namespace install
