#pragma once
// Port I/O: one COM port by number, as the robot link needs it. Each call that fails leaves
// the system's error code for SystemErrorText.
#include <cstdint>

namespace tavrin::platform {

using PortHandle = std::intptr_t;
constexpr PortHandle kClosedPort = -1;  // the same bits as INVALID_HANDLE_VALUE

// Opens COM<number> for reading and writing, exclusively. kClosedPort on failure.
PortHandle OpenComPort(int number);
// Reads return at once with what has arrived; a write of n bytes may take 50 + 2n ms.
// The line settings (speed, format, modem lines) stay as the driver has them.
bool SetPortTimeouts(PortHandle port);
void ClosePort(PortHandle port);
// Writes all bytes or as many as the write time-out allows; false on a system failure.
bool WritePort(PortHandle port, const void* data, std::uint32_t length, std::uint32_t& written);
// Reads what is there, up to `length` bytes. May wait up to `waitMs` for the first byte where
// the platform can wait without spinning; returns at once otherwise. false on a system
// failure, a hang-up included.
bool ReadPort(PortHandle port, void* buffer, std::uint32_t length, std::uint32_t waitMs,
              std::uint32_t& received);

}  // namespace tavrin::platform
