#include <windows.h>

#include <string>

#include "platform/serial_port.h"

namespace tavrin::platform {
namespace {

HANDLE AsHandle(PortHandle port) { return reinterpret_cast<HANDLE>(port); }

}  // namespace

PortHandle OpenComPort(int number) {
  std::string path = "\\\\.\\COM" + std::to_string(number);
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
  return reinterpret_cast<PortHandle>(handle);
}

bool SetPortTimeouts(PortHandle port) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = 2;
  timeouts.WriteTotalTimeoutConstant = 50;
  return SetCommTimeouts(AsHandle(port), &timeouts) != 0;
}

void ClosePort(PortHandle port) { CloseHandle(AsHandle(port)); }

bool WritePort(PortHandle port, const void* data, std::uint32_t length, std::uint32_t& written) {
  DWORD count = 0;
  BOOL ok = WriteFile(AsHandle(port), data, length, &count, nullptr);
  written = count;
  return ok != 0;
}

// The time-outs make ReadFile return at once, so the caller's window is polled.
bool ReadPort(PortHandle port, void* buffer, std::uint32_t length, std::uint32_t /*waitMs*/,
              std::uint32_t& received) {
  DWORD count = 0;
  BOOL ok = ReadFile(AsHandle(port), buffer, length, &count, nullptr);
  received = count;
  return ok != 0;
}

}  // namespace tavrin::platform
