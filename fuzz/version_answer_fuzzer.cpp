// The robot's answer to "GetVersion\n", any bytes at all, read into the version table.
#include <algorithm>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "robot_link/discovery.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavrin;
  const std::string answer = fuzz::AsText(data, size);
  VersionTable table;
  ParseVersionAnswer(answer, table);

  const auto lines = static_cast<std::size_t>(std::count(answer.begin(), answer.end(), '\n'));
  fuzz::Require(table.size() <= lines + 1, "more entries than lines");
  for (const auto& [key, value] : table) {
    fuzz::Require(key.find_first_of(",\n") == std::string::npos, "key spans a comma or line");
    fuzz::Require(value.find('\n') == std::string::npos, "value spans lines");
    // Empty fields are dropped, so the commas left in a value sit between two real fields.
    fuzz::Require(!value.empty() && value.front() != ',' && value.back() != ',' &&
                      value.find(",,") == std::string::npos,
                  "value keeps an empty field");
  }
  return 0;
}
