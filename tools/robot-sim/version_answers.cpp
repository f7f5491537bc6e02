#include "version_answers.h"

#include <random>

namespace robotsim {

std::string GarbageAnswer(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> anyByte(0, 255);
  std::string answer;
  while (answer.size() < size) {
    const int byte = anyByte(random);
    if (byte != ',') answer += static_cast<char>(byte);
  }
  if (size >= 2) {
    answer[size / 3] = '\x00';
    answer[2 * size / 3] = '\xff';
  }
  return answer;
}

std::string OversizedAnswer(size_t size) {
  std::string answer = "Component,Version\n";
  for (int line = 1; answer.size() < size; ++line) {
    // Keys and values far longer than any real identity field, of varying length.
    std::string entry = "Key" + std::to_string(line) + std::string(100 + 37 * (line % 5), 'k') +
                        ",Value" + std::to_string(line) + std::string(200 + 53 * (line % 7), 'v');
    const size_t room = size - answer.size();
    if (entry.size() + 1 > room) entry.resize(room > 1 ? room - 1 : 0);
    answer += entry + "\n";
  }
  return answer;
}

}  // namespace robotsim
