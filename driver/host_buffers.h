#pragma once
// The host's five text buffers. Texts that do not fit are cut, never written past the end.
#include <cstddef>
#include <string>

namespace tavrin {

class HostText {
 public:
  HostText(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {}
  void Set(const std::string& text);
  void Append(const std::string& text);

 private:
  char* buffer_;
  std::size_t capacity_;
};

constexpr std::size_t kHostBufferSize = 1000;

struct HostBuffers {
  HostBuffers(char* info, char* software, char* modelId, char* serialNo, char* result)
      : info(info, kHostBufferSize - 1),  // identity lines end one byte short of the buffer
        software(software, kHostBufferSize),
        modelId(modelId, kHostBufferSize),
        serialNo(serialNo, kHostBufferSize),
        result(result, kHostBufferSize) {}
  HostText info;
  HostText software;
  HostText modelId;
  HostText serialNo;
  HostText result;
};

}  // namespace tavrin
