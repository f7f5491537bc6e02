#pragma once
// A pseudo-terminal whose master a thread empties as fast as the kernel hands bytes over, until
// the expected number has come. The slave side is what the writer under test opens.
#include <cstdint>
#include <string>
#include <thread>

#include "bench/stats.h"

namespace tavrin::bench {

class DrainedPty {
 public:
  // Raw mode on the slave, as the library sets it, so the baseline pays the same line
  // discipline. addUp: also sum the bytes (for a check run, not a timed one).
  // Throws std::runtime_error.
  DrainedPty(std::uint64_t expectedBytes, bool addUp);
  ~DrainedPty();
  DrainedPty(const DrainedPty&) = delete;
  DrainedPty& operator=(const DrainedPty&) = delete;

  const std::string& SlavePath() const { return slavePath_; }
  // portsFolder/com<number> -> the slave, replacing an older link.
  void LinkAsCom(const std::string& portsFolder, int number) const;
  // Waits for the reader; the moment the last expected byte arrived. Throws
  // std::runtime_error when the line went down before that.
  Clock::time_point WaitUntilDrained();
  std::uint32_t ReceivedSum() const { return sum_; }

 private:
  void Drain(bool addUp);

  std::uint64_t expected_;
  int master_ = -1;
  int slaveKeeper_ = -1;  // keeps the line up while the writer opens and closes the slave
  std::string slavePath_;
  std::uint64_t received_ = 0;
  std::uint32_t sum_ = 0;
  Clock::time_point lastByte_;
  std::thread reader_;
};

}  // namespace tavrin::bench
