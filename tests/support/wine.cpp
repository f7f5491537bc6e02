#include "tests/support/wine.h"

#include "tests/support/test_settings.h"

namespace tavrin::test {

std::string WinePrefix() {
  // Without the Windows builds there is nothing to run in a prefix.
  return WindowsBinDir().empty() && Windows32BinDir().empty() ? ""
                                                              : TestSetting("TAVRIN_WINEPREFIX");
}
std::string WindowsBinDir() { return TestSetting("TAVRIN_WINDOWS_BIN_DIR"); }
std::string Windows32BinDir() { return TestSetting("TAVRIN_WINDOWS32_BIN_DIR"); }

ProcessSpec WineSpec(const std::string& exe, const std::vector<std::string>& args) {
  ProcessSpec spec;
  spec.argv = {"wine", exe};
  spec.argv.insert(spec.argv.end(), args.begin(), args.end());
  spec.setEnv = {
      {"WINEPREFIX", WinePrefix()}, {"WINEDEBUG", "-all"}, {"WINEDLLOVERRIDES", "mscoree,mshtml="}};
  spec.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY"};
  return spec;
}

std::string WindowsPath(const std::string& posixPath) {
  std::string path = "Z:" + posixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace tavrin::test
