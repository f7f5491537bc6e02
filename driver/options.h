#pragma once
// The command line of one call: option words, the per-call options and the usage text.
#include <string>

namespace tavrin {

struct RunOptions {
  bool autoFind = true;
  std::string uploadType = "code";
  std::string uploadFile;
  bool rebootAfterUpload = false;
  bool setClock = false;
  bool passThrough = false;
  std::string passThroughCommand;
  std::string apiScriptFile;
};

// The two words that end the process instead of returning. Tests and fuzzers replace them.
struct ProcessEnders {
  void (*usage)();
  void (*listPorts)();
};

[[noreturn]] void PrintUsage();

// Reads argv[1] to argv[argc - 1] into `options` and the process-wide settings.
void ParseOptions(int argc, const char* const* argv, RunOptions& options,
                  const ProcessEnders& enders);
void ParseOptions(int argc, const char* const* argv, RunOptions& options);

}  // namespace tavrin
