// InstallProbe.exe: a Windows-side helper for the Install tests, run under Wine.
//   InstallProbe run <exe> <tail>  starts <exe> with exactly <tail> after its name (wine would
//                                  quote an argument with blanks) and returns its exit status
//   InstallProbe box <exe> <tail>  the same, then finds the message box <exe> shows, prints its
//                                  title, text, icon, buttons and owner, presses OK and prints the
//                                  exit status; needs a desktop with a window driver
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool StartWithTail(const char* exe, const char* tail, PROCESS_INFORMATION* process) {
  std::string commandLine = std::string("\"") + exe + "\" " + tail;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, process)) {
    std::fprintf(stderr, "cannot start %s: error %lu\n", exe, GetLastError());
    return false;
  }
  return true;
}

DWORD WaitForExit(const PROCESS_INFORMATION& process) {
  DWORD status = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &status);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}

int Run(const char* exe, const char* tail) {
  PROCESS_INFORMATION process;
  if (!StartWithTail(exe, tail, &process)) return 100;
  return static_cast<int>(WaitForExit(process));
}

// A message box is a dialog of class #32770 on the desktop. It is shown once its title, text
// and buttons are in place; before that it may be found half built. Null when the program ends
// or ten seconds pass without one.
HWND FindMessageBoxOf(const PROCESS_INFORMATION& process) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == process.dwProcessId && IsWindowVisible(window)) return window;
    }
    if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

// Wine cannot tell which icon another process loaded, only whether there is one.
const char* IconPresence(HWND box) {
  // Message boxes keep their icon in a static control with id 0x440 and their text in 0xFFFF.
  return SendDlgItemMessageA(box, 0x440, STM_GETICON, 0, 0) != 0 ? "present" : "none";
}

int Box(const char* exe, const char* tail) {
  PROCESS_INFORMATION process;
  if (!StartWithTail(exe, tail, &process)) return 100;
  HWND box = FindMessageBoxOf(process);
  if (box == nullptr) {
    std::printf("box=none\n");
  } else {
    char text[4096] = "";
    GetWindowTextA(box, text, sizeof text);
    std::printf("title=%s\n", text);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::printf("text=%s\n", text);
    std::printf("icon=%s\n", IconPresence(box));
    std::printf("buttons=");
    const struct {
      int id;
      const char* name;
    } buttons[] = {{IDOK, "ok"},       {IDCANCEL, "cancel"}, {IDABORT, "abort"},
                   {IDRETRY, "retry"}, {IDIGNORE, "ignore"}, {IDYES, "yes"},
                   {IDNO, "no"}};
    for (const auto& button : buttons) {
      if (GetDlgItem(box, button.id) != nullptr) std::printf("%s ", button.name);
    }
    std::printf("\nowner=%s\n", GetWindow(box, GW_OWNER) == nullptr ? "none" : "some");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
  std::printf("exit=%ld\n", static_cast<long>(WaitForExit(process)));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "run") == 0) return Run(argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "box") == 0) return Box(argv[2], argv[3]);
  std::fprintf(stderr, "usage: InstallProbe run|box <exe> <tail>\n");
  return 2;
}
