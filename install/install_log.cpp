#include "install/install_log.h"

namespace install {

bool FormLogPath(const std::string& installDir, char (&logPath)[kLogPathSize]) {
  const int length =
      std::snprintf(logPath, kLogPathSize, "%s\\log\\Install.log", installDir.c_str());
  if (length < 0 || static_cast<std::size_t>(length) >= kLogPathSize) {
    logPath[0] = '\0';
    return false;
  }
  return true;
}

void WriteLogEntry(std::FILE* log, int number, const char* message, const char* folder) {
  if (log == nullptr) return;
  std::fprintf(log, "%d\t%s", number, message);
  if (folder != nullptr) std::fputs(folder, log);
  // The log is in text mode, so the C runtime expands this "\n" to "\r\n" too: every line ends in
  // "\r\r\n" in the file. That is the log's format; keep it.
  std::fputs("\r\n", log);
}

void FlushLog(std::FILE* log) {
  if (log != nullptr) std::fflush(log);
}

void CloseLog(std::FILE* log) {
  if (log == nullptr) return;
  std::fflush(log);
  std::fclose(log);
}

}  // namespace install
