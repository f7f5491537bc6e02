#include "bench/log_bench.h"

#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/image_file.h"
#include "bench/stats.h"
#include "diagnostics/log_state.h"
#include "diagnostics/log_writer.h"
#include "upload/image_transfer.h"

namespace tavrin::bench {
namespace {

// Lines of the kinds an upload logs, short and long.
const char* const kLines[] = {
    "Serial::Read()",
    "Command: 0: 55 70 6C 6F 61 64 20 63 6F 64 65 20 31 36 37 37 Upload code 1677",
    "Size         - 0x01000000 16777216",
    "Receive before blast: 0: 05                                              .",
    "Checksum     - 0x7F3A2C10",
    "SND: 496: 2F 36 3D 44 4B 52 59 60 67 6E 75 7C 83 8A 91 98 /6=DKRY`gnu|....",
};
constexpr int kLineKinds = sizeof kLines / sizeof kLines[0];

// The writer has no call that closes its file; the bench closes it so each round starts clean.
void CloseLogFile() { TheLogState().logFile.reset(); }

double LibraryRun(const std::string& baseName, int lines) {
  SetLogFile(baseName);
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < lines; ++i) LogLine(cat::LOG, kLines[i % kLineKinds]);
  const double seconds = SecondsSince(start);
  CloseLogFile();
  unlink((baseName + ".log").c_str());
  return seconds;
}

int ThreadId() { return static_cast<int>(syscall(SYS_gettid)); }

// The same lines, stamp included, the plain way: every value of the line asked for, one
// fprintf, one fflush. idOnce: the thread id asked for once, as a writer that keeps it per
// thread would.
double PlainRun(const std::string& path, int lines, bool idOnce) {
  std::FILE* file = std::fopen(path.c_str(), "a");
  if (file == nullptr) throw std::runtime_error("cannot open " + path);
  const int firstId = ThreadId();
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < lines; ++i) {
    const int threadId = idOnce ? firstId : ThreadId();
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    std::fprintf(file, "[%4.4d] %2d:%2.2d:%2.2d.%3.3d %3s %s\n", threadId, local.tm_hour,
                 local.tm_min, local.tm_sec, static_cast<int>(now.tv_nsec / 1000000), "LOG",
                 kLines[i % kLineKinds]);
    std::fflush(file);
  }
  const double seconds = SecondsSince(start);
  std::fclose(file);
  unlink(path.c_str());
  return seconds;
}

std::uint64_t FileBytes(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

}  // namespace

LogFigures MeasureLogWriter(const BenchContext& context, int linesPerRun, int rounds) {
  SetConsoleEcho(false);
  // No dot in the name: the writer cuts it at the first one.
  const std::string libraryBase = context.workFolder + "/library-log";
  const std::string plainPath = context.workFolder + "/plain-log.txt";
  using Way = std::function<double()>;
  const std::vector<Way> ways = {
      [&] { return LibraryRun(libraryBase, linesPerRun); },
      [&] { return PlainRun(plainPath, linesPerRun, false); },
      [&] { return PlainRun(plainPath, linesPerRun, true); },
  };
  for (const Way& way : ways) way();  // warm-up

  const std::vector<std::vector<double>> seconds = TimeInTurns(ways, rounds);
  std::vector<std::vector<double>> rates(ways.size());
  std::vector<double> toPlain, toCachedId;
  for (std::size_t way = 0; way < ways.size(); ++way) {
    for (double time : seconds[way]) rates[way].push_back(linesPerRun / time);
  }
  for (int round = 0; round < rounds; ++round) {
    toPlain.push_back(seconds[1][round] / seconds[0][round]);
    toCachedId.push_back(seconds[2][round] / seconds[0][round]);
  }
  LogFigures figures;
  figures.linesPerRun = linesPerRun;
  figures.rounds = rounds;
  figures.libraryLinesPerSecond = Median(rates[0]);
  figures.plainLinesPerSecond = Median(rates[1]);
  figures.cachedIdLinesPerSecond = Median(rates[2]);
  figures.libraryToPlain = Median(toPlain);
  figures.libraryToCachedId = Median(toCachedId);
  return figures;
}

HexDumpFigures MeasureHexDump(const BenchContext& context, std::uint64_t bytes) {
  const std::vector<unsigned char> image = CodeImageStream(ImageBytes(bytes));
  const std::string baseName = context.workFolder + "/hexdump-log";
  SetConsoleEcho(false);
  SetLogFile(baseName);
  LogState& state = TheLogState();
  const bool urtWasOn = state.enabledCategories.test(cat::URT);
  state.enabledCategories.set(cat::URT);
  const Clock::time_point start = Clock::now();
  for (std::uint64_t done = 0; done < image.size(); done += kChunkSize) {
    const auto length =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(kChunkSize, image.size() - done));
    LogHexDump(cat::URT, "SND:", length, image.data() + done);
  }
  HexDumpFigures figures;
  figures.seconds = SecondsSince(start);
  figures.dumpedBytes = image.size();
  state.enabledCategories.set(cat::URT, urtWasOn);
  CloseLogFile();
  figures.logFileBytes = FileBytes(baseName + ".log");
  unlink((baseName + ".log").c_str());
  return figures;
}

}  // namespace tavrin::bench
