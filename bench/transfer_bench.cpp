#include "bench/transfer_bench.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "bench/drained_pty.h"
#include "bench/image_file.h"
#include "bench/stats.h"
#include "robot_link/robot_comm.h"
#include "upload/image_transfer.h"

namespace tavrin::bench {
namespace {

constexpr std::size_t kLargeWrite = 64 * 1024;
constexpr std::uint32_t kTrailerBytes = 4;

std::uint32_t ByteSum(const std::vector<unsigned char>& bytes) {
  return std::accumulate(bytes.begin(), bytes.end(), std::uint32_t{0});
}

void CheckSum(const DrainedPty& pty, std::uint32_t expected, const char* who) {
  if (pty.ReceivedSum() != expected) {
    throw std::runtime_error(std::string(who) + " sent bytes other than the image stream");
  }
}

// The library's way: g_robotComm opened as COM<n> through the ports folder, then BlastFile.
double LibraryRun(const BenchContext& context, const std::string& imagePath,
                  std::uint64_t imageBytes, std::uint32_t checkSum, bool check) {
  DrainedPty pty(imageBytes + kTrailerBytes, check);
  pty.LinkAsCom(context.portsFolder, kInProcessCom);
  g_robotComm.serial.Open(kInProcessCom, 115200, 8, 0, 1, 0);
  Clock::time_point start;
  try {
    start = Clock::now();
    BlastFile(imagePath, static_cast<std::int32_t>(imageBytes), true);
  } catch (...) {
    g_robotComm.serial.Close();  // lets the reader see the line go down
    throw;
  }
  const Clock::time_point end = pty.WaitUntilDrained();
  g_robotComm.serial.Close();
  if (check) CheckSum(pty, checkSum, "BlastFile");
  return Seconds(end - start);
}

// The baseline: the same bytes from memory, `writeSize` at a time, with blocking write().
double PlainRun(const std::vector<unsigned char>& stream, std::size_t writeSize,
                std::uint32_t checkSum, bool check) {
  DrainedPty pty(stream.size(), check);
  const int fd = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open " + pty.SlavePath());
  const Clock::time_point start = Clock::now();
  for (std::size_t done = 0; done < stream.size();) {
    const std::size_t want = std::min(writeSize, stream.size() - done);
    const ssize_t wrote = write(fd, stream.data() + done, want);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      close(fd);
      throw std::runtime_error(std::string("pty write failed: ") + std::strerror(errno));
    }
    done += static_cast<std::size_t>(wrote);
  }
  const Clock::time_point end = pty.WaitUntilDrained();
  close(fd);
  if (check) CheckSum(pty, checkSum, "the plain writer");
  return Seconds(end - start);
}

}  // namespace

TransferFigures MeasureTransfer(const BenchContext& context, std::uint64_t imageBytes, int rounds) {
  const std::string imagePath = context.workFolder + "/transfer-" + std::to_string(imageBytes);
  WriteImageFile(imagePath, imageBytes);
  const std::vector<unsigned char> stream = CodeImageStream(ImageBytes(imageBytes));
  const std::uint32_t sum = ByteSum(stream);

  using Way = std::function<double(bool check)>;
  const std::vector<Way> ways = {
      [&](bool check) { return LibraryRun(context, imagePath, imageBytes, sum, check); },
      [&](bool check) { return PlainRun(stream, kChunkSize, sum, check); },
      [&](bool check) { return PlainRun(stream, kLargeWrite, sum, check); },
  };
  // The check runs double as warm-up: the image is in the page cache before timing starts.
  for (const Way& way : ways) way(true);

  std::vector<std::function<double()>> timed;
  for (const Way& way : ways) timed.push_back([&way] { return way(false); });
  const std::vector<std::vector<double>> seconds = TimeInTurns(timed, rounds);
  std::vector<double> toPlain, toLarge;
  for (int round = 0; round < rounds; ++round) {
    toPlain.push_back(seconds[1][round] / seconds[0][round]);
    toLarge.push_back(seconds[2][round] / seconds[0][round]);
  }
  unlink(imagePath.c_str());

  TransferFigures figures;
  figures.imageBytes = imageBytes;
  figures.rounds = rounds;
  figures.librarySeconds = Median(seconds[0]);
  figures.plainSeconds = Median(seconds[1]);
  figures.largeWriteSeconds = Median(seconds[2]);
  figures.libraryToPlain = Median(toPlain);
  figures.libraryToLarge = Median(toLarge);
  figures.libraryToPlainLow = Quantile(toPlain, 0.25);
  figures.libraryToPlainHigh = Quantile(toPlain, 0.75);
  return figures;
}

}  // namespace tavrin::bench
