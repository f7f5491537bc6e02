#pragma once
// One COM port: opened by number, written, and read in a fixed 100 ms window.
#include <cstdint>
#include <string>

#include "platform/serial_port.h"

namespace tavrin {

class Serial {
 public:
  Serial();
  virtual ~Serial();
  Serial(const Serial&) = delete;
  Serial& operator=(const Serial&) = delete;

  // Baud rate and line values are recorded only: the port keeps its driver's settings.
  virtual void Open(int port, int baudRate, std::uint8_t a, std::uint8_t b, std::uint8_t c,
                    int option);
  virtual void Close();
  virtual void Write(const std::string& data);
  // count 0: everything that arrives within the window; else returns early once count bytes
  // are in. count must not exceed 1024.
  virtual std::string Read(int count);
  virtual int ReadChar(char* buffer, int length, std::uint32_t timeoutMs);
  virtual int ReadChar(unsigned char* buffer, int length, std::uint32_t timeoutMs);
  virtual void Nop();
  void Write(const void* data, std::uint32_t length);

  bool IsOpen() const { return handle_ != platform::kClosedPort; }

  static constexpr std::uint32_t kReadWindowMs = 100;
  static constexpr int kReadBufferSize = 1024;

 private:
  int port_ = 0;
  int baudRate_ = 9600;
  std::uint8_t lineFormat_[3] = {8, 0, 1};
  int lineOption_ = 0;
  platform::PortHandle handle_ = platform::kClosedPort;
};

}  // namespace tavrin
