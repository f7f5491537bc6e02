#include "bench/report_rows.h"

#include <string>

#include "bench/stats.h"

namespace tavrin::bench {
namespace {

constexpr double kTransferGoal = 0.97;
constexpr double kLogWriterGoal = 0.80;
constexpr long kMemoryGoalKiB = 1024;
constexpr double kWaitingGoal = 0.05;
constexpr double kEndToEndSlack = 0.05;
constexpr double kEndToEndAllowanceSeconds = 0.020;

std::string MiB(std::uint64_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

std::string Rate(std::uint64_t bytes, double seconds) {
  return Fixed(static_cast<double>(bytes) / kMiB / seconds, 0) + " MiB/s";
}

std::string Rounds(int rounds) { return std::to_string(rounds) + " rounds"; }

}  // namespace

std::vector<Figure> TransferRows(const TransferFigures& f) {
  const std::string size = MiB(f.imageBytes);
  Figure plain;
  plain.name = "1. transfer " + size + " / plain 512 B writes";
  plain.measured = Fixed(f.libraryToPlain, 3) + " (" + Rate(f.imageBytes, f.librarySeconds) + ", " +
                   Duration(f.librarySeconds) + ")";
  plain.baseline = "write() 512 B: " + Rate(f.imageBytes, f.plainSeconds) + ", " +
                   Duration(f.plainSeconds) + "; " + Rounds(f.rounds) + ", quartiles " +
                   Fixed(f.libraryToPlainLow, 2) + "-" + Fixed(f.libraryToPlainHigh, 2);
  plain.goal = ">= " + Fixed(kTransferGoal, 2);
  plain.outcome = GoalOutcome(f.libraryToPlain >= kTransferGoal);

  Figure large;
  large.name = "1. transfer " + size + " / 64 KiB writes";
  large.measured = Fixed(f.libraryToLarge, 3);
  large.baseline = "write() 64 KiB: " + Rate(f.imageBytes, f.largeWriteSeconds) + ", " +
                   Duration(f.largeWriteSeconds);
  return {plain, large};
}

std::vector<Figure> LogWriterRows(const LogFigures& f) {
  const std::string lines = std::to_string(f.linesPerRun) + " lines x " + Rounds(f.rounds);
  Figure plain;
  plain.name = "2. log lines, flush each";
  plain.measured =
      Fixed(f.libraryToPlain, 3) + " (" + Fixed(f.libraryLinesPerSecond, 0) + " lines/s)";
  plain.baseline = "fprintf + fflush: " + Fixed(f.plainLinesPerSecond, 0) + " lines/s; " + lines;
  plain.goal = ">= " + Fixed(kLogWriterGoal, 2);
  plain.outcome = GoalOutcome(f.libraryToPlain >= kLogWriterGoal);

  Figure cachedId;
  cachedId.name = "2. log lines / thread id asked once";
  cachedId.measured = Fixed(f.libraryToCachedId, 3);
  cachedId.baseline = "the same, gettid once: " + Fixed(f.cachedIdLinesPerSecond, 0) + " lines/s";
  return {plain, cachedId};
}

Figure HexDumpRow(const HexDumpFigures& f, double transferSeconds) {
  Figure row;
  row.name = "2. URT hex dump of a " + MiB(f.dumpedBytes) + " upload";
  row.measured = Duration(f.seconds);
  if (transferSeconds > 0) {
    row.measured += " = " + Fixed(f.seconds / transferSeconds, 0) + " x the transfer";
    row.baseline = "library transfer of " + MiB(f.dumpedBytes) + ": " + Duration(transferSeconds);
  } else {
    row.baseline = "(no transfer time from item 1)";
  }
  row.note = "the dump wrote " + Fixed(static_cast<double>(f.logFileBytes) / kMiB, 0) +
             " MiB of log for " + MiB(f.dumpedBytes) + " sent";
  return row;
}

Figure MemoryRow(const MemoryFigures& f) {
  const long apart = f.largePeakKiB - f.smallPeakKiB;
  Figure row;
  row.name = "3. peak RSS, " + MiB(f.largeImageBytes) + " vs " + MiB(f.smallImageBytes);
  row.measured = std::to_string(apart) + " KiB apart (" + std::to_string(f.largePeakKiB) +
                 " KiB; upload took " + Duration(f.largeUploadSeconds) + ")";
  row.baseline = MiB(f.smallImageBytes) + " image: " + std::to_string(f.smallPeakKiB) + " KiB; " +
                 Rounds(f.rounds);
  row.goal = "< " + std::to_string(kMemoryGoalKiB) + " KiB apart";
  row.outcome = GoalOutcome(apart < kMemoryGoalKiB);
  return row;
}

Figure WaitingNativeRow(const WaitingFigures& f) {
  const double ratio = f.cpuSeconds / f.wallSeconds;
  Figure row;
  row.name = "4. CPU / wall, no verdict, native";
  row.measured = Fixed(ratio, 4) + " (" + Duration(f.cpuSeconds) + " CPU)";
  row.baseline = "wall " + Duration(f.wallSeconds);
  row.goal = "<= " + Fixed(kWaitingGoal, 2);
  row.outcome = GoalOutcome(ratio <= kWaitingGoal);
  return row;
}

Figure WaitingWineRow(const WaitingFigures& f) {
  const double ratio = f.cpuSeconds / f.wallSeconds;
  Figure row;
  row.name = "4. CPU / wall, no verdict, Wine";
  row.measured = Fixed(ratio, 3) + " (" + Duration(f.cpuSeconds) + " CPU)";
  row.baseline = "wall " + Duration(f.wallSeconds);
  if (f.wineserverCpuSeconds >= 0) {
    const double withServer = f.cpuSeconds + f.wineserverCpuSeconds + f.otherWineCpuSeconds;
    row.measured +=
        "; with wineserver and the prefix's services " + Fixed(withServer / f.wallSeconds, 3);
    row.note = "wineserver used " + Duration(f.wineserverCpuSeconds) +
               ", the prefix's other processes " + Duration(f.otherWineCpuSeconds) +
               "; Upload.exe polls its read windows (ReadFile returns at once), as Windows needs";
  } else {
    row.note = "the prefix's wineserver was not found, so its share is missing";
  }
  return row;
}

Figure EndToEndRow(const EndToEndFigures& f, double drainSeconds) {
  const double floor = kProtocolWaitSeconds + f.robotPacedSendSeconds;
  const double limit = floor * (1 + kEndToEndSlack) + kEndToEndAllowanceSeconds;
  Figure row;
  row.name = "5. end to end, " + MiB(f.imageBytes) + " code image";
  const double overMs = (f.uploadSeconds - floor) * 1000;
  row.measured = Duration(f.uploadSeconds) + " = floor " + (overMs < 0 ? "- " : "+ ") +
                 Fixed(overMs < 0 ? -overMs : overMs, 1) + " ms";
  row.baseline = "floor " + Duration(floor) + " = " + Duration(kProtocolWaitSeconds) + " waits + " +
                 Duration(f.robotPacedSendSeconds) + " plain send; " + Rounds(f.rounds);
  row.goal = "<= " + Duration(limit) + " (floor +5 % +20 ms)";
  row.outcome = GoalOutcome(f.uploadSeconds <= limit);
  row.note = "plain send to robot-sim, first image byte to last write; the robot's ACK came " +
             Duration(f.ackLatencySeconds) + " later, inside the 100 ms verdict window";
  if (drainSeconds > 0) {
    row.note += "; item 1's full-speed reader takes the same bytes in " + Duration(drainSeconds) +
                " (floor with it: " + Duration(kProtocolWaitSeconds + drainSeconds) + ")";
  }
  return row;
}

}  // namespace tavrin::bench
