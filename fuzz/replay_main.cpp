// Runs a fuzz target once on every file of the folders (or on the files) named on the command
// line, so seed and regression inputs replay as an ordinary test, without libFuzzer.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// Absolute paths, because a target may change the current folder while it runs.
bool CollectInputs(const fs::path& place, std::vector<fs::path>& inputs) {
  const fs::path absolute = fs::absolute(place);
  if (fs::is_regular_file(absolute)) {
    inputs.push_back(absolute);
    return true;
  }
  if (!fs::is_directory(absolute)) return false;
  std::vector<fs::path> found;
  for (const fs::directory_entry& entry : fs::directory_iterator(absolute)) {
    if (entry.is_regular_file()) found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());  // the same order on every run
  inputs.insert(inputs.end(), found.begin(), found.end());
  return true;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: " << argv[0] << " <folder or file>...\n";
    return 2;
  }
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!CollectInputs(argv[i], inputs)) {
      std::cerr << "no such folder or file: " << argv[i] << "\n";
      return 2;
    }
  }
  // An empty corpus would pass without testing anything.
  if (inputs.empty()) {
    std::cerr << "no inputs to replay\n";
    return 1;
  }
  for (const fs::path& input : inputs) {
    std::cerr << "replaying " << input.filename().string() << "\n";
    const std::vector<std::uint8_t> bytes = ReadBytes(input);
    // libFuzzer never passes a null pointer, not even for an empty input.
    static const std::uint8_t kEmpty = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kEmpty : bytes.data(), bytes.size());
  }
  std::cerr << "replayed " << inputs.size() << " inputs\n";
  return 0;
}
