#include "tests/support/test_settings.h"

#include <cstdlib>
#include <map>

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
  };
  auto found = configured.find(name);
  return found != configured.end() ? found->second : std::string();
}

}  // namespace tavrin::test
