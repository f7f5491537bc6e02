#include "upload_receiver.h"

#include <vector>

namespace robotsim {
namespace {

constexpr uint64_t kTrailerSize = 4;
constexpr uint64_t kSizeFieldOffset = 20;
constexpr uint64_t kSizeFieldEnd = 24;
// Far beyond any firmware image; keeps n and the byte counts sane.
constexpr uint64_t kMaxAnnounced = uint64_t{1} << 32;

std::vector<std::string> SplitOnSpaces(const std::string& text) {
  std::vector<std::string> words;
  size_t start = 0;
  while (true) {
    const size_t space = text.find(' ', start);
    words.push_back(text.substr(start, space - start));
    if (space == std::string::npos) return words;
    start = space + 1;
  }
}

bool ParseCount(const std::string& word, uint64_t& value) {
  if (word.empty() || word.size() > 10) return false;
  value = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return true;
}

}  // namespace

std::optional<UploadCommand> ParseUploadCommand(const std::string& line) {
  if (line.empty() || line.back() != '\n') return std::nullopt;
  const std::vector<std::string> words = SplitOnSpaces(line.substr(0, line.size() - 1));
  if (words.size() < 3 || words.size() > 4 || words[0] != "Upload" || words[1].empty()) {
    return std::nullopt;
  }
  if (words.size() == 4 && words[2] != "reboot") return std::nullopt;
  UploadCommand command;
  command.type = words[1];
  command.reboot = words.size() == 4;
  if (!ParseCount(words.back(), command.announced)) return std::nullopt;
  if (command.announced < kTrailerSize || command.announced > kMaxAnnounced) return std::nullopt;
  return command;
}

size_t TakeUploadBytes(UploadRecord& record, const char* data, size_t size) {
  const uint64_t imageSize = record.announced - kTrailerSize;
  size_t taken = 0;
  for (; taken < size && record.received < record.announced; ++taken) {
    const auto byte = static_cast<uint8_t>(data[taken]);
    const uint64_t at = record.received++;
    if (at >= imageSize) {
      record.trailer |= static_cast<uint32_t>(byte) << (8 * (at - imageSize));
      continue;
    }
    record.checksum += byte;
    if (at >= kSizeFieldOffset && at < kSizeFieldEnd) {
      record.sizeField |= static_cast<uint32_t>(byte) << (8 * (at - kSizeFieldOffset));
      if (at + 1 == kSizeFieldEnd) {
        record.sizeFieldPresent = true;
        record.sizeFieldOk = record.sizeField == imageSize;
      }
    }
  }
  return taken;
}

bool UploadAccepted(const UploadRecord& record) {
  if (!UploadComplete(record) || record.checksum != record.trailer) return false;
  return record.type != "code" || record.sizeFieldOk;
}

}  // namespace robotsim
