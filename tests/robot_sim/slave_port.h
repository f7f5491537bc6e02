// The host's end of the link for tests: the pty slave in raw mode.
#ifndef TAVRIN_TESTS_ROBOT_SIM_SLAVE_PORT_H_
#define TAVRIN_TESTS_ROBOT_SIM_SLAVE_PORT_H_

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace robotsim {
namespace testing {

class SlavePort {
 public:
  explicit SlavePort(const std::string& path)
      : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
    if (fd_ < 0) throw std::runtime_error("cannot open " + path);
    termios mode{};
    tcgetattr(fd_, &mode);
    cfmakeraw(&mode);
    tcsetattr(fd_, TCSANOW, &mode);
  }
  ~SlavePort() { close(fd_); }
  SlavePort(const SlavePort&) = delete;
  SlavePort& operator=(const SlavePort&) = delete;

  int fd() const { return fd_; }

  // False once the link fails (the robot hung up) or stays full for a second.
  bool Send(const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t wrote = write(fd_, bytes.data() + sent, bytes.size() - sent);
      if (wrote > 0) {
        sent += static_cast<size_t>(wrote);
        continue;
      }
      if (wrote < 0 && errno != EAGAIN) return false;
      pollfd writable{fd_, POLLOUT, 0};
      if (poll(&writable, 1, 1000) <= 0 || (writable.revents & (POLLHUP | POLLERR))) return false;
    }
    return true;
  }

  // Everything that arrives within `ms`, like the host's read windows.
  std::string ReadFor(int ms) { return Read(SIZE_MAX, ms); }

  // Reads until `count` bytes arrived or `ms` passed.
  std::string Read(size_t count, int ms) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    std::string got;
    while (got.size() < count) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) break;
      pollfd readable{fd_, POLLIN, 0};
      if (poll(&readable, 1, static_cast<int>(left)) <= 0) break;
      char buffer[4096];
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;  // 0: hung up
      got.append(buffer, static_cast<size_t>(n));
    }
    return got;
  }

  // True once the robot's end is gone: POLLHUP, then read() gives EOF or EIO.
  bool SeesHangup(int ms) {
    pollfd link{fd_, POLLIN, 0};
    if (poll(&link, 1, ms) <= 0 || !(link.revents & POLLHUP)) return false;
    char byte;
    const ssize_t n = read(fd_, &byte, 1);
    return n == 0 || (n < 0 && errno == EIO);
  }

 private:
  int fd_;
};

// An image of `size` bytes counting up, high bytes included, with `sizeField` at 20..23.
inline std::string MakeImage(size_t size, uint32_t sizeField) {
  std::string image(size, '\0');
  for (size_t i = 0; i < size; ++i) image[i] = static_cast<char>((i * 7 + 0x80) & 0xff);
  for (size_t i = 0; i < 4 && 20 + i < size; ++i) {
    image[20 + i] = static_cast<char>((sizeField >> (8 * i)) & 0xff);
  }
  return image;
}

inline uint32_t ByteSum(const std::string& bytes) {
  uint32_t sum = 0;
  for (const char c : bytes) sum += static_cast<uint8_t>(c);
  return sum;
}

// The 4-byte trailer, least significant byte first.
inline std::string Trailer(uint32_t value) {
  std::string trailer;
  for (int i = 0; i < 4; ++i) trailer += static_cast<char>((value >> (8 * i)) & 0xff);
  return trailer;
}

}  // namespace testing
}  // namespace robotsim

#endif  // TAVRIN_TESTS_ROBOT_SIM_SLAVE_PORT_H_
