#pragma once
// Streaming an image to the robot in 512-byte chunks, with the application size patch and the
// byte-sum trailer.
#include <cstdint>
#include <string>

namespace tavrin {

constexpr std::uint32_t kChunkSize = 512;
constexpr std::uint32_t kAckBlockSize = 16384;

// Sends the whole image as one stream.
void BlastFile(const std::string& fileName, std::int32_t fileSize, bool patchSize);
// Sends the image in 16 KiB blocks and waits for the robot's ACK after each full block.
void BlastFileWithAck(const std::string& fileName, std::int32_t fileSize, bool patchSize);

}  // namespace tavrin
