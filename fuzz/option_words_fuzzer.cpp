// Any command line for ParseOptions: the input split into words at zero bytes and line feeds.
// "?" and "--seria" end the parse with a private exception instead of the process, and any
// --dbglog file lands in a private folder that is emptied after every input.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "diagnostics/err.h"
#include "driver/driver_settings.h"
#include "driver/options.h"
#include "fuzz/fuzz_support.h"

namespace {

namespace fs = std::filesystem;

struct ProcessEnded {};

const tavrin::ProcessEnders kThrowingEnders = {[] { throw ProcessEnded{}; },
                                               [] { throw ProcessEnded{}; }};

// The folder log files go to. The current folder is only changed around the parse, so
// libFuzzer's own files keep their places.
class LogFolder {
 public:
  LogFolder() {
    std::string pattern = (fs::temp_directory_path() / "tavrin-option-words-XXXXXX").string();
    tavrin::fuzz::Require(mkdtemp(pattern.data()) != nullptr, "no temporary folder");
    path_ = pattern;
  }
  ~LogFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  void Enter() {
    home_ = fs::current_path();
    fs::current_path(path_);
  }
  void LeaveAndEmpty() {
    fs::current_path(home_);
    for (const fs::directory_entry& entry : fs::directory_iterator(path_)) {
      fs::remove_all(entry.path());
    }
  }

 private:
  fs::path path_;
  fs::path home_;
};

std::vector<std::string> SplitWords(const std::string& input) {
  std::vector<std::string> words(1);
  for (char c : input) {
    if (c == '\0' || c == '\n') {
      words.emplace_back();
    } else {
      words.back() += c;
    }
  }
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavrin;
  const std::string input = fuzz::AsText(data, size);
  // A log file name with a slash could reach any folder of the machine.
  if (input.find('/') != std::string::npos) return 0;
  fuzz::QuietConsole();
  static LogFolder folder;

  const std::vector<std::string> words = SplitWords(input);
  std::vector<const char*> argv{"Upload"};
  for (const std::string& word : words) argv.push_back(word.c_str());

  fuzz::ResetLogState();
  TheDriverSettings() = DriverSettings{};
  RunOptions options;
  folder.Enter();
  try {
    ParseOptions(static_cast<int>(argv.size()), argv.data(), options, kThrowingEnders);
  } catch (const ProcessEnded&) {
    // "?" or "--seria": the real words end the process here.
  } catch (const Err&) {
    // The library's own errors, a log file that cannot be opened; anything else is a finding.
  }
  fuzz::ResetLogState();  // closes the log file before its folder is emptied
  folder.LeaveAndEmpty();
  return 0;
}
