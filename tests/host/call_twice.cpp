// A host that calls StartDLL twice in one process, as long-lived hosts do: the second call shows
// that whatever the first one met, the library is still able to work.
//   call_twice <words of call 1> --then <words of call 2>
// After each call it prints "CALL <n> RESULT [<resultBuf>]".
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driver/start_dll.h"
#include "platform/library_loader.h"

namespace {

int Call(StartDLLFunction startDll, int n, std::vector<char*> words) {
  char buffers[5][1001] = {};
  words.insert(words.begin(), const_cast<char*>("call_twice"));
  int result = startDll(static_cast<int>(words.size()), words.data(), buffers[0], buffers[1],
                        buffers[2], buffers[3], buffers[4]);
  std::printf("CALL %d RESULT [%s]\n", n, buffers[4]);
  std::fflush(stdout);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tavrin::platform;
  std::string error;
  auto startDll = reinterpret_cast<StartDLLFunction>(
      LoadLibrarySymbol(ProgramFolder() + "/" + LibraryFileName(), "StartDLL", error));
  if (startDll == nullptr) {
    std::fprintf(stderr, "cannot load the library: %s\n", error.c_str());
    return 4;
  }
  std::vector<char*> first;
  std::vector<char*> second;
  std::vector<char*>* current = &first;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--then") == 0) {
      current = &second;
    } else {
      current->push_back(argv[i]);
    }
  }
  return Call(startDll, 1, first) + Call(startDll, 2, second);
}
