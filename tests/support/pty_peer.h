#pragma once
// The far end of a pseudo-terminal for in-process port tests: it keeps reading (a pty holds
// only about 20 KB), records what it got, and writes what a test tells it to. The near end is
// reachable as COM<number> through a ports folder (TAVRIN_PORTS is set for this process).
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "tests/support/process_runner.h"

namespace tavrin::test {

class PtyPeer {
 public:
  explicit PtyPeer(int comNumber = 5);
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  int ComNumber() const { return com_; }
  const std::string& SlavePath() const { return slavePath_; }
  const std::string& PortsFolder() const { return folder_.path(); }

  void Write(const std::string& bytes);
  // Bytes received so far; waits up to `waitMs` for at least `atLeast` of them.
  std::string Received(std::size_t atLeast = 0, int waitMs = 0);
  // Closes the master: the port's user sees the device hang up.
  void HangUp();

 private:
  void ReadLoop();

  int com_;
  TempFolder folder_;
  std::string slavePath_;
  int master_ = -1;
  int slaveKeeper_ = -1;  // keeps the slave configured between opens
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::string received_;
  std::thread reader_;
};

}  // namespace tavrin::test
