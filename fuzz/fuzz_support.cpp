#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <streambuf>

#include "diagnostics/log_category.h"
#include "diagnostics/log_state.h"

namespace tavrin::fuzz {
namespace {

class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// Gives std::cout its own buffer back at exit, before this one is gone.
struct SilencedStandardOutput {
  SilencedStandardOutput() : saved(std::cout.rdbuf(&nothing)) {}
  ~SilencedStandardOutput() { std::cout.rdbuf(saved); }
  NullBuffer nothing;
  std::streambuf* saved;
};

CountingSink* InstallCountingSink() {
  auto sink = std::make_unique<CountingSink>();
  CountingSink* installed = sink.get();
  TheLogState().console = std::move(sink);
  return installed;
}

}  // namespace

CountingSink& QuietConsole() {
  static SilencedStandardOutput silenced;
  static CountingSink* sink = InstallCountingSink();
  return *sink;
}

void ResetLogState() {
  LogState& state = TheLogState();
  state.logFile.reset();
  state.enabledCategories.reset();
  state.consoleEcho = true;
  state.logBaseName.clear();
  state.logFileName.clear();
  state.lineCount = 0;
  InitLog("");
  QuietConsole().lines = 0;
}

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

}  // namespace tavrin::fuzz
