#pragma once
// Items 3 to 5: the real upload program against robot-sim, measured as a process.
#include <cstdint>
#include <string>

#include "bench/bench_context.h"

namespace tavrin::bench {

struct MemoryFigures {
  std::uint64_t smallImageBytes = 0;
  std::uint64_t largeImageBytes = 0;
  int rounds = 0;
  long smallPeakKiB = 0;  // medians of ru_maxrss
  long largePeakKiB = 0;
  double largeUploadSeconds = 0;
};

struct WaitingFigures {
  double wallSeconds = 0;
  double cpuSeconds = 0;  // the upload process (and the children it waited for)
  // Under Wine: what the prefix's server and its other processes used meanwhile; -1 unknown.
  double wineserverCpuSeconds = -1;
  double otherWineCpuSeconds = -1;
};

struct EndToEndFigures {
  std::uint64_t imageBytes = 0;
  int rounds = 0;
  double uploadSeconds = 0;  // median wall time of `upload -p N -f image`
  // A plain host against the same robot: medians of first image byte to last write
  // returned, and of that to the robot's ACK.
  double robotPacedSendSeconds = 0;
  double ackLatencySeconds = 0;
};

// The fixed waits and read windows the protocol demands of an upload without reboot:
// GetVersion (200 ms sleep + 100 ms window), 100 ms after the command, one 100 ms window
// for REQ and one for the verdict.
constexpr double kProtocolWaitSeconds = 0.6;

// Each throws std::runtime_error when a run does not end the way it should.
MemoryFigures MeasureUploadMemory(const BenchContext& context, std::uint64_t smallBytes,
                                  std::uint64_t largeBytes, int rounds);
WaitingFigures MeasureWaitingNative(const BenchContext& context);
WaitingFigures MeasureWaitingWine(const BenchContext& context);
EndToEndFigures MeasureEndToEnd(const BenchContext& context, std::uint64_t imageBytes, int rounds);

}  // namespace tavrin::bench
