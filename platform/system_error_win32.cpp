#include <windows.h>

#include "platform/system_error.h"

namespace tavrin::platform {

std::string SystemErrorText() {
  DWORD code = GetLastError();
  char* message = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&message),
      0, nullptr);
  // The system's messages keep their own CR LF at the end.
  std::string text = (length != 0 && message != nullptr) ? std::string(message, length) : "";
  LocalFree(message);
  return text;
}

}  // namespace tavrin::platform
