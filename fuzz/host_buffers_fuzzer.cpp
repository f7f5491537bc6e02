// Any identity answer, read into the version table and reported into the five host buffers.
// Each buffer is its own heap block of exactly 1000 bytes, so AddressSanitizer stops any write
// past one.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "driver/host_buffers.h"
#include "driver/run_flow.h"
#include "fuzz/fuzz_support.h"
#include "robot_link/discovery.h"

namespace {

using tavrin::kHostBufferSize;

struct HostBlock {
  HostBlock() : bytes(new char[kHostBufferSize]) {
    // As the host passes it: empty, with something other than zeros behind.
    std::memset(bytes.get(), '#', kHostBufferSize);
    bytes[0] = '\0';
  }
  std::unique_ptr<char[]> bytes;
};

// The text a host reads from a buffer a value was set into: up to its first zero byte and
// at most `capacity` - 1 bytes.
std::string HostReading(const std::string& value, std::size_t capacity) {
  return value.substr(0, std::min(std::strlen(value.c_str()), capacity - 1));
}

void RequireFieldShown(const tavrin::VersionTable& table, const char* key, const char* buffer) {
  auto found = table.find(key);
  const std::string expected =
      found == table.end() ? std::string() : HostReading(found->second, kHostBufferSize);
  tavrin::fuzz::Require(expected == buffer, key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavrin;
  fuzz::QuietConsole();
  fuzz::ResetLogState();
  VersionTable table;
  ParseVersionAnswer(fuzz::AsText(data, size), table);

  HostBlock info, software, modelId, serialNo, result;
  HostBuffers buffers(info.bytes.get(), software.bytes.get(), modelId.bytes.get(),
                      serialNo.bytes.get(), result.bytes.get());
  buffers.result.Set("Robot connected on COM");
  ReportIdentity(table, buffers);

  fuzz::Require(strnlen(info.bytes.get(), kHostBufferSize - 1) < kHostBufferSize - 1,
                "info not terminated within 999 bytes");
  for (const HostBlock* block : {&software, &modelId, &serialNo, &result}) {
    fuzz::Require(strnlen(block->bytes.get(), kHostBufferSize) < kHostBufferSize,
                  "buffer not terminated within 1000 bytes");
  }
  RequireFieldShown(table, "Software", software.bytes.get());
  RequireFieldShown(table, "ModelID", modelId.bytes.get());
  RequireFieldShown(table, "Serial Number", serialNo.bytes.get());
  fuzz::Require(std::strcmp(result.bytes.get(), "Robot connected on COM") == 0,
                "result touched by the identity");
  return 0;
}
