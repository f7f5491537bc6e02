#include "driver/host_buffers.h"

#include <algorithm>
#include <cstring>

namespace tavrin {

void HostText::Set(const std::string& text) {
  if (buffer_ == nullptr || capacity_ == 0) return;
  buffer_[0] = '\0';
  Append(text);
}

void HostText::Append(const std::string& text) {
  if (buffer_ == nullptr || capacity_ == 0) return;
  std::size_t used = strnlen(buffer_, capacity_ - 1);
  std::size_t room = capacity_ - 1 - used;
  std::size_t length = std::min(room, text.size());
  std::memcpy(buffer_ + used, text.data(), length);
  buffer_[used + length] = '\0';
}

}  // namespace tavrin
