#pragma once
// Item 1: BlastFile over a pty against a plain write() loop of the same bytes.
#include <cstdint>

#include "bench/bench_context.h"

namespace tavrin::bench {

struct TransferFigures {
  std::uint64_t imageBytes = 0;
  int rounds = 0;
  // Medians over the rounds.
  double librarySeconds = 0;
  double plainSeconds = 0;       // 512-byte writes
  double largeWriteSeconds = 0;  // 64 KiB writes
  // Medians of each round's ratio of throughputs (the other time over the library's).
  double libraryToPlain = 0;
  double libraryToLarge = 0;
  // First and third quartiles of the rounds' library / plain ratios: how much a round moves.
  double libraryToPlainLow = 0;
  double libraryToPlainHigh = 0;
};

// Checks each way once (byte sums), then times them in rotating order. Logging stays off.
// Throws std::runtime_error.
TransferFigures MeasureTransfer(const BenchContext& context, std::uint64_t imageBytes, int rounds);

}  // namespace tavrin::bench
