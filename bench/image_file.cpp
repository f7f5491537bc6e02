#include "bench/image_file.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace tavrin::bench {
namespace {

constexpr std::size_t kSizeFieldOffset = 20;
constexpr std::uint64_t kWritePiece = 1 << 20;

unsigned char ImageByte(std::uint64_t at) {
  return static_cast<unsigned char>((at * 7 + at / 251) & 0xFF);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::vector<unsigned char> ImageBytes(std::uint64_t size) {
  std::vector<unsigned char> bytes(size);
  for (std::uint64_t at = 0; at < size; ++at) bytes[at] = ImageByte(at);
  return bytes;
}

void WriteImageFile(const std::string& path, std::uint64_t size) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw std::runtime_error("cannot create " + path);
  std::vector<unsigned char> piece(kWritePiece);
  for (std::uint64_t done = 0; done < size;) {
    const std::uint64_t length = std::min(kWritePiece, size - done);
    for (std::uint64_t i = 0; i < length; ++i) piece[i] = ImageByte(done + i);
    if (std::fwrite(piece.data(), 1, length, file.get()) != length) {
      throw std::runtime_error("cannot write " + path);
    }
    done += length;
  }
  if (std::fflush(file.get()) != 0) throw std::runtime_error("cannot write " + path);
}

std::vector<unsigned char> CodeImageStream(std::vector<unsigned char> image) {
  const auto length = static_cast<std::uint32_t>(image.size());
  for (int i = 0; i < 4; ++i) image[kSizeFieldOffset + i] = (length >> (8 * i)) & 0xFF;
  std::uint32_t sum = 0;
  for (unsigned char byte : image) sum += byte;
  for (int i = 0; i < 4; ++i) image.push_back(static_cast<unsigned char>(sum >> (8 * i)));
  return image;
}

std::uint64_t FreeBytes(const std::string& path) {
  struct statvfs info {};
  if (statvfs(path.c_str(), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

}  // namespace tavrin::bench
