#pragma once
// Running the Windows build under Wine, in the prefix the test command made once.
#include <string>
#include <vector>

#include "tests/support/process_runner.h"

namespace tavrin::test {

// The prefix (TAVRIN_WINEPREFIX); empty when the Windows build is not tested.
std::string WinePrefix();
// The x86_64 (or i686) Windows build's bin folder; empty when not tested.
std::string WindowsBinDir();
std::string Windows32BinDir();

// A spec that runs `exe` with `args` under Wine with quiet, fast settings.
ProcessSpec WineSpec(const std::string& exe, const std::vector<std::string>& args);

// Z:\tmp\x for /tmp/x: how a Windows program names a file of ours.
std::string WindowsPath(const std::string& posixPath);

}  // namespace tavrin::test
