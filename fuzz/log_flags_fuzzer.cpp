// Any text as the --dbgflags list.
#include <cstdint>

#include "diagnostics/log_category.h"
#include "diagnostics/text_ops.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavrin;
  fuzz::QuietConsole();
  fuzz::ResetLogState();
  const std::string list = fuzz::AsText(data, size);
  EnableLogFlags(list);

  const std::string upper = ToUpper(list);
  for (LogCategory category = 0; category < 32; ++category) {
    if (!IsLogEnabled(category)) continue;
    const std::string tag = LogCategoryName(category);
    fuzz::Require(tag != "???", "a number without a tag got enabled");
    fuzz::Require(upper.find(tag) != std::string::npos, "a category the list never names");
  }
  fuzz::ResetLogState();
  return 0;
}
