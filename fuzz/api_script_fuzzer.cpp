// Any bytes as an API script file, read the way RunApiScript reads it: pieces of at most 510
// characters from platform::ReadTextLine, each shown with the library's display rule.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "driver/run_flow.h"
#include "fuzz/fuzz_support.h"
#include "platform/file_access.h"

namespace {

// Every CR directly before a LF dropped, however many there are in a row.
std::string WithoutCarriageReturns(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') {
      while (!result.empty() && result.back() == '\r') result.pop_back();
    }
    result += c;
  }
  return result;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavrin;
  std::string input = fuzz::AsText(data, size);
  std::unique_ptr<std::FILE, FileCloser> script(fmemopen(input.data(), input.size(), "r"));
  if (!script) return 0;

  std::string piece;
  std::string joined;
  while (platform::ReadTextLine(script.get(), kScriptLineChars, piece)) {
    fuzz::Require(piece.size() <= kScriptLineChars, "piece longer than asked for");
    const std::size_t lineFeed = piece.find('\n');
    fuzz::Require(lineFeed == std::string::npos || lineFeed + 1 == piece.size(),
                  "line feed inside a piece");
    fuzz::Require(ScriptCommandDisplay(piece).find('\n') == std::string::npos,
                  "a shown command spans lines");
    joined += piece;
  }
  // Without zero bytes (which end a piece's text early) the pieces give back the whole file,
  // CR LF pairs aside: a CR split from its LF by the piece size stays.
  if (input.find('\0') == std::string::npos) {
    fuzz::Require(WithoutCarriageReturns(joined) == WithoutCarriageReturns(input),
                  "pieces do not give back the file");
  }
  return 0;
}
