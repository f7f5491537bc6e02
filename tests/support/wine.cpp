#include "tests/support/wine.h"

#include <cstdlib>

namespace tavrin::test {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::string WinePrefix() { return Env("TAVRIN_WINEPREFIX"); }
std::string WindowsBinDir() { return Env("TAVRIN_WINDOWS_BIN_DIR"); }
std::string Windows32BinDir() { return Env("TAVRIN_WINDOWS32_BIN_DIR"); }

ProcessSpec WineSpec(const std::string& exe, const std::vector<std::string>& args) {
  ProcessSpec spec;
  spec.argv = {"wine", exe};
  spec.argv.insert(spec.argv.end(), args.begin(), args.end());
  spec.setEnv = {{"WINEPREFIX", WinePrefix()},
                 {"WINEDEBUG", "-all"},
                 {"WINEDLLOVERRIDES", "mscoree,mshtml="}};
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
