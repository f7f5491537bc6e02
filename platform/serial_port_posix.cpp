#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/clock.h"
#include "platform/com_namespace_posix.h"
#include "platform/serial_port.h"

namespace tavrin::platform {
namespace {

int AsFd(PortHandle port) { return static_cast<int>(port); }

// Waits until the descriptor is ready for `events` or `waitMs` passes.
// Returns >0 when ready, 0 on time-out, <0 on failure or hang-up (errno set).
int WaitFor(int fd, short events, std::uint32_t waitMs) {
  pollfd entry{fd, events, 0};
  int ready;
  do {
    ready = poll(&entry, 1, static_cast<int>(waitMs));
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) return ready;
  if ((entry.revents & events) != 0) return ready;
  errno = EIO;  // POLLHUP, POLLERR or POLLNVAL without data: the device has gone
  return -1;
}

}  // namespace

PortHandle OpenComPort(int number) {
  std::string path = ComDevicePath(number);
  if (path.empty()) {
    errno = ENOENT;
    return kClosedPort;
  }
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return kClosedPort;
  // Windows opens a COM port exclusively. TIOCEXCL keeps other openers out (root excepted);
  // the lock also keeps out every other program that asks for one, this library included.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    errno = EBUSY;
    return kClosedPort;
  }
  ioctl(fd, TIOCEXCL);
  return fd;
}

bool SetPortTimeouts(PortHandle port) {
  termios settings{};
  if (tcgetattr(AsFd(port), &settings) != 0) return false;
  // A Windows COM port never echoes or edits lines; a POSIX tty does until told otherwise.
  // Speed, character size, parity and stop bits stay as the driver has them.
  settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                             ICRNL | IXON | IXOFF);
  settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ECHOE | ICANON | ISIG | IEXTEN);
  settings.c_cflag |= CREAD | CLOCAL;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  return tcsetattr(AsFd(port), TCSANOW, &settings) == 0;
}

void ClosePort(PortHandle port) {
  // Exclusive mode belongs to the tty, not to our descriptor: give it up, or nobody but root
  // could open the port again while anything else keeps the tty alive.
  ioctl(AsFd(port), TIOCNXCL);
  close(AsFd(port));
}

bool WritePort(PortHandle port, const void* data, std::uint32_t length, std::uint32_t& written) {
  written = 0;
  const std::uint32_t limitMs = 50 + 2 * length;  // the write time-out a COM port has
  const std::uint32_t start = TickCount();
  const char* bytes = static_cast<const char*>(data);
  while (written < length) {
    ssize_t count = write(AsFd(port), bytes + written, length - written);
    if (count > 0) {
      written += static_cast<std::uint32_t>(count);
      continue;
    }
    if (count < 0 && errno != EAGAIN && errno != EINTR) return false;
    std::uint32_t elapsed = TickCount() - start;
    if (elapsed >= limitMs) return true;  // cut short, as a COM port's write time-out does
    int ready = WaitFor(AsFd(port), POLLOUT, limitMs - elapsed);
    if (ready < 0) return false;
  }
  return true;
}

bool ReadPort(PortHandle port, void* buffer, std::uint32_t length, std::uint32_t waitMs,
              std::uint32_t& received) {
  received = 0;
  if (port == kClosedPort) {
    errno = EBADF;  // poll() would quietly skip a closed descriptor
    return false;
  }
  if (length == 0) return true;
  int ready = WaitFor(AsFd(port), POLLIN, waitMs);
  if (ready < 0) return false;
  if (ready == 0) return true;
  ssize_t count = read(AsFd(port), buffer, length);
  if (count > 0) {
    received = static_cast<std::uint32_t>(count);
    return true;
  }
  if (count == 0) {
    errno = EIO;  // end of file on a tty: the device hung up
    return false;
  }
  return errno == EAGAIN || errno == EINTR;
}

}  // namespace tavrin::platform
