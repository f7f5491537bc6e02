#pragma once
// Item 2: the log writer against plain fprintf, and the price of a full URT hex dump.
#include <cstdint>

#include "bench/bench_context.h"

namespace tavrin::bench {

struct LogFigures {
  int linesPerRun = 0;
  int rounds = 0;
  double libraryLinesPerSecond = 0;  // medians
  double plainLinesPerSecond = 0;
  double libraryToPlain = 0;  // median of each round's ratio
  // The plain writer again, with the thread id asked for once instead of for every line.
  double cachedIdLinesPerSecond = 0;
  double libraryToCachedId = 0;
};

struct HexDumpFigures {
  std::uint64_t dumpedBytes = 0;
  std::uint64_t logFileBytes = 0;
  double seconds = 0;
};

// LogLine with a flush per line into a log file, console echo off, against fprintf + fflush
// of the same lines, each with its own stamp (time and thread id). Throws std::runtime_error.
LogFigures MeasureLogWriter(const BenchContext& context, int linesPerRun, int rounds);
// LogHexDump of `bytes` in 512-byte pieces, as Serial::Write dumps an upload with URT on.
HexDumpFigures MeasureHexDump(const BenchContext& context, std::uint64_t bytes);

}  // namespace tavrin::bench
