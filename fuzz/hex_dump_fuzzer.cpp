// Any bytes and label through LogHexDump. Input: category byte, label length byte (255: no
// label at all), the label, then the bytes to dump.
#include <algorithm>
#include <cstdint>
#include <string>

#include "diagnostics/log_state.h"
#include "diagnostics/log_writer.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavrin;
  if (size < 2) return 0;
  const LogCategory category = data[0] % 32;
  const bool noLabel = data[1] == 255;
  const std::size_t labelLength = noLabel ? 0 : std::min<std::size_t>(data[1], size - 2);
  const std::string label = fuzz::AsText(data + 2, labelLength);
  const std::uint8_t* bytes = data + 2 + labelLength;
  const auto length = static_cast<std::uint32_t>(size - 2 - labelLength);

  fuzz::CountingSink& console = fuzz::QuietConsole();
  fuzz::ResetLogState();
  TheLogState().enabledCategories.set(category);
  LogHexDump(category, noLabel ? nullptr : label.c_str(), length, bytes);

  // One line per 16 bytes begun, or the single "No data" line.
  const std::size_t expected = length == 0 ? 1 : (length + 15) / 16;
  fuzz::Require(console.lines == expected, "wrong number of dump lines");
  fuzz::ResetLogState();
  return 0;
}
