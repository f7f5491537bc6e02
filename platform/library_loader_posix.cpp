#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include "platform/library_loader.h"

namespace tavrin::platform {

std::string ProgramFolder() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  std::string program(path, static_cast<std::size_t>(length));
  return program.substr(0, program.find_last_of('/'));
}

const char* LibraryFileName() { return "libTavrin.so"; }

void* LoadLibrarySymbol(const std::string& path, const char* symbol, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    error = dlerror();
    return nullptr;
  }
  void* function = dlsym(library, symbol);
  if (function == nullptr) error = dlerror();
  return function;  // the library stays loaded until the process ends
}

}  // namespace tavrin::platform
