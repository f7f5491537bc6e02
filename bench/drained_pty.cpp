#include "bench/drained_pty.h"

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace tavrin::bench {
namespace {

constexpr std::size_t kReadSize = 65536;

}  // namespace

DrainedPty::DrainedPty(std::uint64_t expectedBytes, bool addUp) : expected_(expectedBytes) {
  if (openpty(&master_, &slaveKeeper_, nullptr, nullptr, nullptr) != 0) {
    throw std::runtime_error(std::string("openpty: ") + std::strerror(errno));
  }
  termios mode{};
  tcgetattr(slaveKeeper_, &mode);
  cfmakeraw(&mode);
  tcsetattr(slaveKeeper_, TCSANOW, &mode);
  slavePath_ = ttyname(slaveKeeper_);
  reader_ = std::thread([this, addUp] { Drain(addUp); });
}

DrainedPty::~DrainedPty() {
  // With every slave descriptor closed the master's read fails, which ends a reader still
  // waiting for bytes that will not come.
  close(slaveKeeper_);
  if (reader_.joinable()) reader_.join();
  close(master_);
}

void DrainedPty::LinkAsCom(const std::string& portsFolder, int number) const {
  const std::string link = portsFolder + "/com" + std::to_string(number);
  unlink(link.c_str());
  if (symlink(slavePath_.c_str(), link.c_str()) != 0) {
    throw std::runtime_error("cannot link " + link + ": " + std::strerror(errno));
  }
}

void DrainedPty::Drain(bool addUp) {
  std::vector<unsigned char> buffer(kReadSize);
  while (received_ < expected_) {
    const ssize_t count = read(master_, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    if (addUp) {
      for (ssize_t i = 0; i < count; ++i) sum_ += buffer[i];
    }
    received_ += static_cast<std::uint64_t>(count);
  }
  lastByte_ = Clock::now();
}

Clock::time_point DrainedPty::WaitUntilDrained() {
  reader_.join();
  if (received_ != expected_) {
    throw std::runtime_error("the pty got " + std::to_string(received_) + " bytes of " +
                             std::to_string(expected_));
  }
  return lastByte_;
}

}  // namespace tavrin::bench
