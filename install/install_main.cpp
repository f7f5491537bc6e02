// Install.exe: gives the local Users group full access to the installation folder and logs what
// it did into "<folder>\log\Install.log". It has no window of its own; its one message box is for
// a command line without "-p".
#include <share.h>
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "install/command_line.h"
#include "install/install_log.h"
#include "install/users_access.h"

namespace install {
namespace {

// Opened for appending, text mode, and shared so that other programs may read and write the log
// while we hold it. Null when the "log" folder is missing or the path is too long.
std::FILE* OpenInstallLog(const std::string& installDir) {
  char logPath[kLogPathSize];
  if (!FormLogPath(installDir, logPath)) return nullptr;
  return _fsopen(logPath, "a", _SH_DENYNO);
}

// The answer is not needed; only a failure is worth a line in the log.
void QuerySystemVersion(std::FILE* log) {
  OSVERSIONINFOA version = {};
  static_assert(sizeof version == 148, "the version record is 148 bytes");
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) {
    const DWORD error = GetLastError();
    WriteLogEntry(log, static_cast<int>(error), "GetVersionInfoEx () fehlgeschlagen");
    if (error != 0) FlushLog(log);
  }
}

int RunInstall(const char* commandLine) {
  const std::optional<std::string> installDir = InstallDirFromCommandLine(commandLine);
  if (!installDir) {
    MessageBoxA(nullptr, commandLine, "Falsche Kommandozeile", MB_OK | MB_ICONERROR);
    return -1;
  }

  std::FILE* log = OpenInstallLog(*installDir);
  WriteLogEntry(log, 0, "Installation nach ", installDir->c_str());
  QuerySystemVersion(log);
  GrantUsersFullAccess(log, *installDir);
  WriteLogEntry(log, 0, "Installation abgeschlossen");
  CloseLog(log);
  return 0;
}

}  // namespace
}  // namespace install

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  return install::RunInstall(commandLine != nullptr ? commandLine : "");
}
