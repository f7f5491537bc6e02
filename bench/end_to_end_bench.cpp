// Item 5: a whole upload against what the protocol cannot do without: its fixed waits and read
// windows, plus sending the image to this same robot the plain way.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <vector>

#include "bench/image_file.h"
#include "bench/native_upload.h"
#include "bench/process_benches.h"
#include "bench/robot_sim_process.h"
#include "bench/stats.h"

namespace tavrin::bench {
namespace {

constexpr unsigned char kReq = 0x05;
constexpr unsigned char kAck = 0x06;
constexpr unsigned char kNak = 0x15;
constexpr std::size_t kChunk = 512;
constexpr int kAnswerTimeoutMs = 5000;

struct PlainUploadTimes {
  double sendSeconds = 0;  // first image byte written to last write returned
  double ackSeconds = 0;   // last write returned to the verdict read
};

class Port {
 public:
  explicit Port(const std::string& device)
      : fd_(open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    if (fd_ < 0) throw std::runtime_error("cannot open " + device);
    termios mode{};
    tcgetattr(fd_, &mode);
    cfmakeraw(&mode);
    tcsetattr(fd_, TCSANOW, &mode);
    tcflush(fd_, TCIFLUSH);
  }
  ~Port() { close(fd_); }
  Port(const Port&) = delete;
  Port& operator=(const Port&) = delete;

  void WriteAll(const unsigned char* data, std::size_t size, std::size_t piece) {
    for (std::size_t done = 0; done < size;) {
      const ssize_t wrote = write(fd_, data + done, std::min(piece, size - done));
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) throw std::runtime_error("write to the robot failed");
      done += static_cast<std::size_t>(wrote);
    }
  }

  // The first byte that is one of `wanted`; throws when none comes in time.
  unsigned char WaitForOneOf(const std::vector<unsigned char>& wanted) {
    const Clock::time_point start = Clock::now();
    while (SecondsSince(start) * 1000 < kAnswerTimeoutMs) {
      pollfd readable{fd_, POLLIN, 0};
      if (poll(&readable, 1, 50) <= 0) continue;
      unsigned char byte;
      if (read(fd_, &byte, 1) != 1) continue;
      if (std::find(wanted.begin(), wanted.end(), byte) != wanted.end()) return byte;
    }
    throw std::runtime_error("the robot did not answer the plain host");
  }

 private:
  int fd_;
};

PlainUploadTimes PlainHostUpload(const std::string& device,
                                 const std::vector<unsigned char>& stream) {
  Port port(device);
  const std::string command = "Upload code " + std::to_string(stream.size()) + "\n";
  port.WriteAll(reinterpret_cast<const unsigned char*>(command.data()), command.size(),
                command.size());
  port.WaitForOneOf({kReq});
  const Clock::time_point start = Clock::now();
  port.WriteAll(stream.data(), stream.size(), kChunk);
  const Clock::time_point sent = Clock::now();
  if (port.WaitForOneOf({kAck, kNak}) != kAck) {
    throw std::runtime_error("the robot refused the plain host's image");
  }
  return {Seconds(sent - start), SecondsSince(sent)};
}

}  // namespace

EndToEndFigures MeasureEndToEnd(const BenchContext& context, std::uint64_t imageBytes, int rounds) {
  const std::string image = context.workFolder + "/end-to-end-image";
  const std::string output = context.workFolder + "/end-to-end.out";
  WriteImageFile(image, imageBytes);
  const std::vector<unsigned char> stream = CodeImageStream(ImageBytes(imageBytes));
  // A fresh robot for every run, so that no run inherits the state another left (FreshRobot).
  auto upload = [&] {
    RobotSimProcess robot = FreshRobot(context);
    const ChildRun run = RunNativeUpload(context, image, output);
    ExpectExit(run, 0, output);
    return run.wallSeconds;
  };
  auto plainUpload = [&] {
    RobotSimProcess robot = FreshRobot(context);
    return PlainHostUpload(robot.DevicePath(), stream);
  };
  upload();  // warm-up: the image and the programs in the page cache
  plainUpload();

  std::vector<double> uploads, sends, acks;
  auto plain = [&] {
    const PlainUploadTimes times = plainUpload();
    sends.push_back(times.sendSeconds);
    acks.push_back(times.ackSeconds);
  };
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) {
      uploads.push_back(upload());
      plain();
    } else {
      plain();
      uploads.push_back(upload());
    }
  }
  unlink(image.c_str());

  EndToEndFigures figures;
  figures.imageBytes = imageBytes;
  figures.rounds = rounds;
  figures.uploadSeconds = Median(uploads);
  figures.robotPacedSendSeconds = Median(sends);
  figures.ackLatencySeconds = Median(acks);
  return figures;
}

}  // namespace tavrin::bench
