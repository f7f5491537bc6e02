// The robot's thread: polls the pty master, feeds the Robot and writes its answers.
#include "robot_sim.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "pty_pair.h"
#include "robot.h"

namespace robotsim {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A hang-up waits until the host has read what the robot sent last (REQ, a block ACK), but
// no longer than this.
constexpr milliseconds kHangupGrace{1000};
// Data written to the master reaches the slave's queue a moment later.
constexpr milliseconds kDeliveryDelay{10};
constexpr milliseconds kHangupCheckInterval{5};
constexpr size_t kReadChunk = 65536;

int MillisUntil(Clock::time_point when, Clock::time_point now) {
  if (when <= now) return 0;
  return static_cast<int>(std::chrono::duration_cast<milliseconds>(when - now).count()) + 1;
}

}  // namespace

struct RobotSim::Impl {
  explicit Impl(SimOptions simOptions) : options(std::move(simOptions)), robot(options) {}

  void Run();
  void OnReadable(Clock::time_point now);
  void Apply(const RobotActions& actions, Clock::time_point now);
  void Flush(Clock::time_point now);
  bool ReadyToHangUp(Clock::time_point now) const;
  size_t ReadLimit(Clock::time_point now) const;
  Clock::time_point NextReadTime() const;
  bool InTrackedUpload() const;
  uint64_t SlowReaderRate() const;
  bool CheckUpload(Clock::time_point now);

  const SimOptions options;
  PtyPair pty;
  int wakeFd = -1;
  std::thread thread;
  std::atomic<bool> stopping{false};
  std::mutex stopMutex;

  mutable std::mutex mutex;  // guards robot
  mutable std::condition_variable changed;
  Robot robot;

  // Owned by the thread.
  std::string unsent;
  std::multimap<Clock::time_point, std::string> scheduled;  // delayed answers by due time
  Clock::time_point lastWrite;
  bool hangupPending = false;
  Clock::time_point hangupDeadline;
  bool linkLost = false;
  size_t trackedUpload = 0;  // uploads seen so far
  Clock::time_point uploadStart;
  Clock::time_point lastUploadByte;
  uint64_t uploadBytesRead = 0;
};

void RobotSim::Impl::Run() {
  while (!stopping) {
    const Clock::time_point now = Clock::now();
    while (!scheduled.empty() && scheduled.begin()->first <= now) {
      unsent += scheduled.begin()->second;
      scheduled.erase(scheduled.begin());
    }
    Flush(now);
    if (hangupPending && ReadyToHangUp(now)) {
      ClosePty(pty);
      return;
    }
    const bool inUpload = CheckUpload(now);

    Clock::time_point wakeAt = now + milliseconds(60000);
    if (!scheduled.empty()) wakeAt = std::min(wakeAt, scheduled.begin()->first);
    if (inUpload && options.uploadIdleTimeoutMs > 0) {
      wakeAt = std::min(wakeAt, lastUploadByte + milliseconds(options.uploadIdleTimeoutMs));
    }
    if (hangupPending) wakeAt = std::min(wakeAt, now + kHangupCheckInterval);
    const bool mayRead = !hangupPending && !linkLost && ReadLimit(now) > 0;
    if (!mayRead && !hangupPending && !linkLost) wakeAt = std::min(wakeAt, NextReadTime());

    pollfd fds[2] = {{wakeFd, POLLIN, 0}, {pty.master, 0, 0}};
    if (mayRead) fds[1].events |= POLLIN;
    if (!unsent.empty()) fds[1].events |= POLLOUT;
    // A descriptor left in the set reports POLLHUP even when not asked for: leave it out.
    if (fds[1].events == 0 || linkLost) fds[1].fd = -1;
    if (poll(fds, 2, MillisUntil(wakeAt, now)) < 0 && errno != EINTR) return;
    if (stopping) return;
    if (fds[1].revents & POLLIN) {
      OnReadable(Clock::now());
    } else if (fds[1].revents & (POLLHUP | POLLERR)) {
      linkLost = true;  // not expected while the robot holds the slave open
    }
  }
}

// Tracks the running upload for the slow reader and gives it up when the link went idle.
bool RobotSim::Impl::CheckUpload(Clock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex);
  if (!robot.InUpload()) return false;
  const size_t upload = robot.transcript().uploads.size();
  if (upload != trackedUpload) {
    trackedUpload = upload;
    uploadStart = now;
    lastUploadByte = now;
    uploadBytesRead = 0;
  }
  const int idleMs = options.uploadIdleTimeoutMs;
  if (idleMs > 0 && now - lastUploadByte >= milliseconds(idleMs)) {
    robot.GiveUpUpload(UploadEnd::kIdle);
    changed.notify_all();
    return false;
  }
  return true;
}

void RobotSim::Impl::OnReadable(Clock::time_point now) {
  char buffer[kReadChunk];
  const size_t limit = std::min(ReadLimit(now), sizeof buffer);
  const ssize_t got = read(pty.master, buffer, limit);
  if (got < 0) {
    if (errno != EAGAIN && errno != EINTR) linkLost = true;
    return;
  }
  RobotActions actions;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (robot.InUpload()) {
      lastUploadByte = now;
      uploadBytesRead += static_cast<uint64_t>(got);
    }
    robot.Receive(buffer, static_cast<size_t>(got), actions);
  }
  changed.notify_all();
  Apply(actions, now);
}

void RobotSim::Impl::Apply(const RobotActions& actions, Clock::time_point now) {
  for (const RobotOutput& output : actions.outputs) {
    if (output.delayMs <= 0) {
      unsent += output.bytes;
    } else {
      scheduled.emplace(now + milliseconds(output.delayMs), output.bytes);
    }
  }
  Flush(now);
  if (actions.hangup) {
    hangupPending = true;
    hangupDeadline = now + kHangupGrace;
    scheduled.clear();
  }
}

void RobotSim::Impl::Flush(Clock::time_point now) {
  while (!unsent.empty() && !linkLost) {
    const ssize_t wrote = write(pty.master, unsent.data(), unsent.size());
    if (wrote < 0) {
      if (errno != EAGAIN && errno != EINTR) linkLost = true;
      return;
    }
    unsent.erase(0, static_cast<size_t>(wrote));
    lastWrite = now;
  }
}

bool RobotSim::Impl::ReadyToHangUp(Clock::time_point now) const {
  if (now >= hangupDeadline || linkLost) return true;
  return unsent.empty() && now - lastWrite >= kDeliveryDelay && UnreadByHost(pty) == 0;
}

// How many bytes the robot takes now: unlimited, except for a slow reader in an upload.
size_t RobotSim::Impl::ReadLimit(Clock::time_point now) const {
  if (!robot.HasFault(Fault::Kind::kSlowReader) || !InTrackedUpload()) return kReadChunk;
  const uint64_t rate = SlowReaderRate();
  const auto elapsedMs =
      static_cast<uint64_t>(std::chrono::duration_cast<milliseconds>(now - uploadStart).count());
  const uint64_t allowed = rate * elapsedMs / 1000;
  const uint64_t budget = allowed > uploadBytesRead ? allowed - uploadBytesRead : 0;
  // Read in slices of about 50 ms worth, not byte by byte.
  const uint64_t slice = std::max<uint64_t>(1, rate / 20);
  return budget >= slice ? static_cast<size_t>(std::min<uint64_t>(budget, kReadChunk)) : 0;
}

bool RobotSim::Impl::InTrackedUpload() const {
  std::lock_guard<std::mutex> lock(mutex);
  return robot.InUpload() && robot.transcript().uploads.size() == trackedUpload;
}

uint64_t RobotSim::Impl::SlowReaderRate() const {
  return static_cast<uint64_t>(std::max(1L, robot.FaultParam(Fault::Kind::kSlowReader)));
}

Clock::time_point RobotSim::Impl::NextReadTime() const {
  const uint64_t rate = SlowReaderRate();
  const uint64_t slice = std::max<uint64_t>(1, rate / 20);
  const uint64_t ms = (uploadBytesRead + slice) * 1000 / rate + 1;
  return uploadStart + milliseconds(ms);
}

RobotSim::RobotSim(SimOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {
  impl_->pty = OpenRawPty();
  impl_->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (impl_->wakeFd < 0) {
    ClosePty(impl_->pty);
    throw std::runtime_error(std::string("robot-sim: eventfd: ") + std::strerror(errno));
  }
  try {
    KeepControllingTerminal(impl_->pty);
  } catch (const std::exception&) {
    ClosePty(impl_->pty);
    close(impl_->wakeFd);
    throw;
  }
  impl_->thread = std::thread([impl = impl_.get()] { impl->Run(); });
}

RobotSim::~RobotSim() { Stop(); }

const std::string& RobotSim::SlavePath() const { return impl_->pty.slavePath; }

Transcript RobotSim::GetTranscript() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->robot.transcript();
}

bool RobotSim::WaitForUploadVerdict(int timeoutMs, size_t count) const {
  std::unique_lock<std::mutex> lock(impl_->mutex);
  return impl_->changed.wait_for(lock, milliseconds(timeoutMs),
                                 [&] { return impl_->robot.EndedUploads() >= count; });
}

bool RobotSim::WaitForCommands(size_t count, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(impl_->mutex);
  return impl_->changed.wait_for(lock, milliseconds(timeoutMs), [&] {
    return impl_->robot.transcript().commands.size() >= count;
  });
}

void RobotSim::Stop() {
  std::lock_guard<std::mutex> stopLock(impl_->stopMutex);
  if (!impl_->thread.joinable()) return;
  impl_->stopping = true;
  const uint64_t one = 1;
  if (write(impl_->wakeFd, &one, sizeof one) < 0) {
    // The counter cannot overflow from one write; the thread also sees `stopping`.
  }
  impl_->thread.join();
  ClosePty(impl_->pty);
  ReleaseControllingTerminal(impl_->pty);
  close(impl_->wakeFd);
  impl_->wakeFd = -1;
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->robot.GiveUpUpload(UploadEnd::kStopped);
  }
  impl_->changed.notify_all();
}

}  // namespace robotsim
