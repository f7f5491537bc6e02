// Item 3: the upload streams its image, so a 256 MiB image must not need more memory than 1 MiB.
#include <unistd.h>

#include <stdexcept>
#include <vector>

#include "bench/image_file.h"
#include "bench/native_upload.h"
#include "bench/process_benches.h"
#include "bench/robot_sim_process.h"
#include "bench/stats.h"

namespace tavrin::bench {

MemoryFigures MeasureUploadMemory(const BenchContext& context, std::uint64_t smallBytes,
                                  std::uint64_t largeBytes, int rounds) {
  // Both images plus room to spare, so the bench never fills the disk it runs on.
  const std::uint64_t needed = 2 * (smallBytes + largeBytes);
  if (FreeBytes(context.workFolder) < needed) {
    throw std::runtime_error("not enough free space in " + context.workFolder + " for a " +
                             std::to_string(largeBytes >> 20) + " MiB image");
  }
  const std::string smallImage = context.workFolder + "/memory-small";
  const std::string largeImage = context.workFolder + "/memory-large";
  WriteImageFile(smallImage, smallBytes);
  WriteImageFile(largeImage, largeBytes);
  const std::string output = context.workFolder + "/memory-upload.out";

  std::vector<double> smallPeaks, largePeaks, largeSeconds;
  auto upload = [&](const std::string& image, std::vector<double>& peaks) {
    // A fresh robot each time: see FreshRobot.
    RobotSimProcess robot = FreshRobot(context);
    const ChildRun run = RunNativeUploadForPeak(context, image, output);
    ExpectExit(run, 0, output);
    peaks.push_back(static_cast<double>(run.peakRssKiB));
    return run.wallSeconds;
  };
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) {
      upload(smallImage, smallPeaks);
      largeSeconds.push_back(upload(largeImage, largePeaks));
    } else {
      largeSeconds.push_back(upload(largeImage, largePeaks));
      upload(smallImage, smallPeaks);
    }
  }
  unlink(smallImage.c_str());
  unlink(largeImage.c_str());

  MemoryFigures figures;
  figures.smallImageBytes = smallBytes;
  figures.largeImageBytes = largeBytes;
  figures.rounds = rounds;
  figures.smallPeakKiB = static_cast<long>(Median(smallPeaks));
  figures.largePeakKiB = static_cast<long>(Median(largePeaks));
  figures.largeUploadSeconds = Median(largeSeconds);
  return figures;
}

}  // namespace tavrin::bench
