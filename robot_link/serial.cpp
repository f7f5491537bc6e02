#include "robot_link/serial.h"

#include "diagnostics/log_category.h"
#include "diagnostics/log_state.h"
#include "diagnostics/log_writer.h"
#include "platform/clock.h"
#include "platform/system_error.h"
#include "robot_link/serial_err.h"

namespace tavrin {
namespace {

void Trace(const char* operation) {
  if (IsLogEnabled(cat::TRA)) LogLine(cat::TRA, operation);
}

std::uint32_t Remaining(std::uint32_t start, std::uint32_t window) {
  std::uint32_t elapsed = platform::TickCount() - start;
  return elapsed >= window ? 0 : window - elapsed;
}

}  // namespace

// The log must outlive every port, since closing one at unload still traces.
Serial::Serial() { TheLogState(); }

Serial::~Serial() { Close(); }

void Serial::Open(int port, int baudRate, std::uint8_t a, std::uint8_t b, std::uint8_t c,
                  int option) {
  Trace("Serial::Open()");
  port_ = port;
  baudRate_ = baudRate;
  lineFormat_[0] = a;
  lineFormat_[1] = b;
  lineFormat_[2] = c;
  lineOption_ = option;
  if (IsOpen()) {
    Close();
    platform::SleepMs(100);
  }
  handle_ = platform::OpenComPort(port);
  if (!IsOpen()) throw SerialErr("Open() fail on CreateFile() - " + platform::SystemErrorText());
  if (!platform::SetPortTimeouts(handle_)) {
    throw SerialErr("Open() fail on SetCommTimeouts() - " + platform::SystemErrorText());
  }
}

void Serial::Close() {
  Trace("Serial::Close()");
  if (!IsOpen()) return;
  platform::ClosePort(handle_);
  handle_ = platform::kClosedPort;
}

void Serial::Write(const std::string& data) {
  Write(data.data(), static_cast<std::uint32_t>(data.size()));
}

void Serial::Write(const void* data, std::uint32_t length) {
  LogHexDump(cat::URT, "SND:", length, data);
  std::uint32_t written = 0;
  if (!platform::WritePort(handle_, data, length, written)) {
    throw SerialErr("Write() fail on WriteFile() - " + platform::SystemErrorText());
  }
  if (written < length) throw SerialErr("Write() fail - did not send all of the data");
}

std::string Serial::Read(int count) {
  Trace("Serial::Read()");
  const std::uint32_t start = platform::TickCount();
  std::string result;
  int missing = count;
  char buffer[kReadBufferSize];
  for (;;) {
    // Never more than the buffer holds, whatever the caller asked for.
    std::uint32_t request = (count == 0 || missing > kReadBufferSize)
                                ? kReadBufferSize
                                : static_cast<std::uint32_t>(missing);
    std::uint32_t received = 0;
    if (!platform::ReadPort(handle_, buffer, request, Remaining(start, kReadWindowMs), received)) {
      throw SerialErr("ReadChar() fail on ReadFile() - " + platform::SystemErrorText());
    }
    if (count != 0) missing -= static_cast<int>(received);
    result.append(buffer, received);
    if (count != 0 && missing <= 0) break;
    if (platform::TickCount() - start >= kReadWindowMs) break;
  }
  LogHexDump(cat::URT, "RCV:", static_cast<std::uint32_t>(result.size()), result.data());
  return result;
}

int Serial::ReadChar(char* buffer, int length, std::uint32_t timeoutMs) {
  const std::uint32_t start = platform::TickCount();
  int received = 0;
  for (;;) {
    std::uint32_t got = 0;
    if (!platform::ReadPort(handle_, buffer + received,
                            static_cast<std::uint32_t>(length - received),
                            Remaining(start, timeoutMs), got)) {
      throw SerialErr("ReadChar() fail on ReadFile() - " + platform::SystemErrorText());
    }
    received += static_cast<int>(got);
    if (received >= length) return received;
    if (platform::TickCount() - start >= timeoutMs) return received;
  }
}

int Serial::ReadChar(unsigned char* buffer, int length, std::uint32_t timeoutMs) {
  return ReadChar(reinterpret_cast<char*>(buffer), length, timeoutMs);
}

void Serial::Nop() {}

}  // namespace tavrin
