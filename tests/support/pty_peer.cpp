#include "tests/support/pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace tavrin::test {

PtyPeer::PtyPeer(int comNumber) : com_(comNumber) {
  int slave = -1;
  if (openpty(&master_, &slave, nullptr, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }
  termios raw{};
  tcgetattr(master_, &raw);
  cfmakeraw(&raw);
  tcsetattr(master_, TCSANOW, &raw);
  slavePath_ = ttyname(slave);
  slaveKeeper_ = slave;
  std::string link = folder_ / ("com" + std::to_string(com_));
  if (symlink(slavePath_.c_str(), link.c_str()) != 0) throw std::runtime_error("symlink failed");
  setenv("TAVRIN_PORTS", folder_.path().c_str(), 1);
  reader_ = std::thread([this] { ReadLoop(); });
}

PtyPeer::~PtyPeer() {
  stop_ = true;
  reader_.join();
  if (master_ >= 0) close(master_);
  close(slaveKeeper_);
  unsetenv("TAVRIN_PORTS");
}

void PtyPeer::ReadLoop() {
  char buffer[4096];
  while (!stop_) {
    int fd;
    {
      std::lock_guard<std::mutex> hold(mutex_);
      fd = master_;
    }
    if (fd < 0) return;
    pollfd entry{fd, POLLIN, 0};
    if (poll(&entry, 1, 20) <= 0 || (entry.revents & POLLIN) == 0) continue;
    ssize_t count = read(fd, buffer, sizeof buffer);
    if (count <= 0) continue;
    std::lock_guard<std::mutex> hold(mutex_);
    received_.append(buffer, static_cast<std::size_t>(count));
  }
}

void PtyPeer::Write(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t count = write(master_, bytes.data() + done, bytes.size() - done);
    if (count < 0) throw std::runtime_error("pty write failed");
    done += static_cast<std::size_t>(count);
  }
}

std::string PtyPeer::Received(std::size_t atLeast, int waitMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    {
      std::lock_guard<std::mutex> hold(mutex_);
      if (received_.size() >= atLeast || std::chrono::steady_clock::now() >= deadline) {
        return received_;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

void PtyPeer::HangUp() {
  std::lock_guard<std::mutex> hold(mutex_);
  close(master_);
  master_ = -1;
  // The keeper would hold the line up; the port's user must see it go.
  close(slaveKeeper_);
  slaveKeeper_ = open("/dev/null", O_RDONLY);
}

}  // namespace tavrin::test
