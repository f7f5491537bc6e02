#include <windows.h>

#include "platform/library_loader.h"
#include "platform/system_error.h"

namespace tavrin::platform {

std::string ProgramFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ".";
  std::string program(path, length);
  return program.substr(0, program.find_last_of("\\/"));
}

const char* LibraryFileName() { return "Tavrin.dll"; }

void* LoadLibrarySymbol(const std::string& path, const char* symbol, std::string& error) {
  HMODULE library = LoadLibraryA(path.c_str());
  if (library == nullptr) {
    error = SystemErrorText();
    return nullptr;
  }
  FARPROC function = GetProcAddress(library, symbol);
  if (function == nullptr) error = SystemErrorText();
  return reinterpret_cast<void*>(function);
}

}  // namespace tavrin::platform
