#pragma once
// Where this run keeps its builds, its Wine prefix and its scratch files: the environment
// variable of that name when set, else the value the test build was configured with.
//   TAVRIN_NATIVE_BIN_DIR, TAVRIN_WINDOWS_BIN_DIR, TAVRIN_WINDOWS32_BIN_DIR,
//   TAVRIN_WINEPREFIX, TAVRIN_TEST_TMP, TAVRIN_TEST_WRAPPER (e.g. valgrind and its options, run
//   in front of every native program a test starts)
#include <string>
#include <vector>

namespace tavrin::test {

std::string TestSetting(const std::string& name);

// The words of TAVRIN_TEST_WRAPPER; empty when programs run as they are.
std::vector<std::string> TestWrapper();
// Extra seconds a time bound allows: a program under a wrapper starts and runs slower.
double TimeSlack();

}  // namespace tavrin::test
