#include "tests/support/test_settings.h"

#include <cstdlib>
#include <map>
#include <sstream>

namespace tavrin::test {

std::string TestSetting(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value != nullptr) return value;
  static const std::map<std::string, std::string> configured = {
      {"TAVRIN_NATIVE_BIN_DIR", TAVRIN_CONFIGURED_NATIVE_BIN_DIR},
      {"TAVRIN_WINDOWS_BIN_DIR", TAVRIN_CONFIGURED_WINDOWS_BIN_DIR},
      {"TAVRIN_WINDOWS32_BIN_DIR", TAVRIN_CONFIGURED_WINDOWS32_BIN_DIR},
      {"TAVRIN_WINEPREFIX", TAVRIN_CONFIGURED_WINEPREFIX},
      {"TAVRIN_TEST_TMP", TAVRIN_CONFIGURED_TEST_TMP},
      {"TAVRIN_TEST_WRAPPER", TAVRIN_CONFIGURED_TEST_WRAPPER},
  };
  auto found = configured.find(name);
  return found != configured.end() ? found->second : std::string();
}

}  // namespace tavrin::test

namespace tavrin::test {

std::vector<std::string> TestWrapper() {
  std::istringstream words(TestSetting("TAVRIN_TEST_WRAPPER"));
  std::vector<std::string> wrapper;
  for (std::string word; words >> word;) wrapper.push_back(word);
  return wrapper;
}

double TimeSlack() { return TestWrapper().empty() ? 0.0 : 5.0; }

}  // namespace tavrin::test
