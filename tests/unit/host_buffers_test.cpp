#include "driver/host_buffers.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tavrin {
namespace {

// A guard zone behind the buffer shows any write past the capacity.
struct GuardedBuffer {
  GuardedBuffer() { std::memset(bytes, '#', sizeof bytes); }
  char bytes[kHostBufferSize + 64];
  bool GuardIntact() const {
    for (std::size_t i = kHostBufferSize; i < sizeof bytes; ++i) {
      if (bytes[i] != '#') return false;
    }
    return true;
  }
};

TEST(HostBuffers, TextsThatDoNotFitAreCut) {
  GuardedBuffer info, software, model, serial, result;
  HostBuffers buffers(info.bytes, software.bytes, model.bytes, serial.bytes, result.bytes);
  buffers.software.Set(std::string(5000, 'v'));
  EXPECT_EQ(std::strlen(software.bytes), kHostBufferSize - 1);
  buffers.result.Set("Robot connected on COM");
  buffers.result.Append(std::string(5000, 'a'));
  EXPECT_EQ(std::strlen(result.bytes), kHostBufferSize - 1);
  EXPECT_EQ(std::string(result.bytes, 22), "Robot connected on COM");
  buffers.info.Set("");
  for (int i = 0; i < 100; ++i) buffers.info.Append("Key=value\r\n");
  EXPECT_EQ(std::strlen(info.bytes), 998u);  // identity lines stop one byte short
  for (auto* b : {&info, &software, &model, &serial, &result}) EXPECT_TRUE(b->GuardIntact());
  EXPECT_EQ(model.bytes[0], '#');  // never written, left as the host passed it
}

TEST(HostBuffers, NullBuffersAreLeftAlone) {
  HostText text(nullptr, kHostBufferSize);
  text.Set("x");
  text.Append("y");
}

}  // namespace
}  // namespace tavrin
