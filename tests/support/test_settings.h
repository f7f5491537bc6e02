#pragma once
// Where this run keeps its builds, its Wine prefix and its scratch files: the environment
// variable of that name when set, else the value the test build was configured with.
//   TAVRIN_NATIVE_BIN_DIR, TAVRIN_WINDOWS_BIN_DIR, TAVRIN_WINDOWS32_BIN_DIR,
//   TAVRIN_WINEPREFIX, TAVRIN_TEST_TMP
#include <string>

namespace tavrin::test {

std::string TestSetting(const std::string& name);

}  // namespace tavrin::test
