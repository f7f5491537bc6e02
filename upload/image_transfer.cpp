#include "upload/image_transfer.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "diagnostics/log_stream.h"
#include "diagnostics/log_writer.h"
#include "platform/clock.h"
#include "platform/file_access.h"
#include "robot_link/robot_comm.h"
#include "upload/handshake.h"

namespace tavrin {
namespace {

constexpr std::uint32_t kSizeFieldOffset = 20;
constexpr int kBlockAckReads = 5;
constexpr std::uint32_t kBlockAckPauseMs = 1000;

// The image is taken 512 bytes at a time; a larger stream buffer saves a system call per chunk.
constexpr std::size_t kFileBufferSize = 64 * 1024;

platform::UniqueFile OpenImage(const std::string& fileName) {
  platform::UniqueFile file(platform::OpenSharedForReading(fileName));
  if (!file) {
    throw std::runtime_error("Cannot open image file " + fileName + " for reading - " +
                             platform::LastFileErrorText());
  }
  std::setvbuf(file.get(), nullptr, _IOFBF, kFileBufferSize);
  return file;
}

std::runtime_error ImageChanged(const std::string& fileName, std::int32_t fileSize) {
  return std::runtime_error("Image file " + fileName + " changed during the upload: the robot " +
                            "was told " + std::to_string(fileSize) +
                            " bytes; upload stopped before the checksum");
}

void WaitForBlockAck() {
  for (int read = 1;; ++read) {
    std::string response = g_robotComm.ReadResponse();
    LogHexDump(cat::DB1,
               "Waiting for ACK during blast:", static_cast<std::uint32_t>(response.size()),
               response.data());
    if (response.find(kAck) != std::string::npos) return;
    if (read == kBlockAckReads) {
      throw std::runtime_error("Timeout waiting for ACK handshake during blast from robot");
    }
    platform::SleepMs(kBlockAckPauseMs);
  }
}

// blockSize 0: one stream without waits.
void Blast(const std::string& fileName, std::int32_t fileSize, bool patchSize,
           std::uint32_t blockSize) {
  platform::UniqueFile file = OpenImage(fileName);
  const std::uint32_t expected = static_cast<std::uint32_t>(fileSize);
  std::uint32_t totalSent = 0;
  std::uint32_t checksum = 0;
  std::uint32_t blockRemaining = blockSize;
  unsigned char chunk[kChunkSize];
  if (patchSize && expected < kSizeFieldOffset + 4) {
    throw std::runtime_error("Error - cannot replace application size at byte 20");
  }
  // Never read past the size the robot was told: a file that grew or shrank since it was
  // measured must not reach the robot as a stream that disagrees with the command.
  while (totalSent < expected) {
    std::uint32_t want = std::min(kChunkSize, expected - totalSent);
    if (blockSize != 0) want = std::min(want, blockRemaining);
    std::uint32_t length = static_cast<std::uint32_t>(std::fread(chunk, 1, want, file.get()));
    if (length == 0) {
      if (std::ferror(file.get())) {
        throw std::runtime_error("Cannot read image file " + fileName + " - " +
                                 platform::LastFileErrorText());
      }
      throw ImageChanged(fileName, fileSize);
    }
    if (patchSize && totalSent < kSizeFieldOffset) {
      if (length < kSizeFieldOffset + 4) {
        throw std::runtime_error("Error - cannot replace application size at byte 20");
      }
      for (int i = 0; i < 4; ++i) chunk[kSizeFieldOffset + i] = (expected >> (8 * i)) & 0xFF;
    }
    for (std::uint32_t i = 0; i < length; ++i) checksum += chunk[i];
    g_robotComm.Send(chunk, length);
    totalSent += length;
    if (blockSize != 0 && (blockRemaining -= length) == 0) {
      LogStream() << '.';
      WaitForBlockAck();
      blockRemaining = blockSize;
    }
  }
  if (std::fgetc(file.get()) != EOF) throw ImageChanged(fileName, fileSize);
  ReportLine("");
  const unsigned char trailer[4] = {
      static_cast<unsigned char>(checksum), static_cast<unsigned char>(checksum >> 8),
      static_cast<unsigned char>(checksum >> 16), static_cast<unsigned char>(checksum >> 24)};
  g_robotComm.Send(trailer, sizeof trailer);
  LogPrintCat(cat::LOG, "%-12s - 0x%8.8X %d", "Size", expected, fileSize);
  LogPrintCat(cat::LOG, "%-12s - 0x%8.8X", "Checksum", checksum);
  LogPrintCat(cat::LOG, "%-12s - 0x%8.8X %d", "Total sent", totalSent, static_cast<int>(totalSent));
}

}  // namespace

void BlastFile(const std::string& fileName, std::int32_t fileSize, bool patchSize) {
  Blast(fileName, fileSize, patchSize, 0);
}

void BlastFileWithAck(const std::string& fileName, std::int32_t fileSize, bool patchSize) {
  Blast(fileName, fileSize, patchSize, kAckBlockSize);
}

}  // namespace tavrin
