// Upload: the program users run. It hands its whole command line to the Tavrin library and
// shows what only the host buffers carry. Host settings come from the environment:
//   TAVRIN_LIB          path of the library to load (default: next to this program)
//   TAVRIN_RESULT_JSON  file to which the five buffers are written as JSON
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "driver/start_dll.h"
#include "host/host_result.h"
#include "platform/library_loader.h"

namespace {

constexpr std::size_t kBufferSize = 1000;

}  // namespace

int main(int argc, char** argv) {
  using namespace tavrin;
  const char* override = std::getenv("TAVRIN_LIB");
  std::string libraryPath = (override != nullptr && *override != '\0')
                                ? std::string(override)
                                : platform::ProgramFolder() + "/" + platform::LibraryFileName();
  std::string error;
  auto startDll = reinterpret_cast<StartDLLFunction>(
      platform::LoadLibrarySymbol(libraryPath, "StartDLL", error));
  if (startDll == nullptr) {
    std::cerr << "Upload: cannot load StartDLL from " << libraryPath << ": " << error << std::endl;
    return host::kLibraryMissing;
  }

  // One byte more than the library ever fills, so every buffer stays terminated.
  char buffers[5][kBufferSize + 1] = {};
  startDll(argc, argv, buffers[0], buffers[1], buffers[2], buffers[3], buffers[4]);
  host::HostBufferTexts texts{buffers[0], buffers[1], buffers[2], buffers[3], buffers[4]};

  std::cout << "\n" << host::ReportText(texts) << std::flush;
  const char* jsonPath = std::getenv("TAVRIN_RESULT_JSON");
  if (jsonPath != nullptr && *jsonPath != '\0') {
    std::ofstream json(jsonPath, std::ios::binary | std::ios::trunc);
    json << host::ToJson(texts);
    if (!json.flush()) {
      std::cerr << "Upload: cannot write " << jsonPath << std::endl;
      return host::kResultFileFailed;
    }
  }
  return host::ExitStatusFor(texts);
}
