#pragma once
// Runs a program to its end with a time limit, capturing what it prints.
#include <map>
#include <string>
#include <vector>

namespace tavrin::test {

struct ProcessResult {
  int exitStatus = -1;  // the exit code, or -1 when the process was killed or crashed
  int signal = 0;       // the signal that ended it, 0 if none
  bool timedOut = false;
  std::string out;
  std::string err;
  double seconds = 0;  // wall time
};

struct ProcessSpec {
  std::vector<std::string> argv;              // argv[0] is the program path
  std::map<std::string, std::string> setEnv;  // added to (or replacing) our environment
  std::vector<std::string> unsetEnv;
  std::string workingDirectory;  // empty: ours
  double timeoutSeconds = 60;
};

ProcessResult RunProcess(const ProcessSpec& spec);

// Windows programs write CR LF; compare their output with this.
std::string WithoutCarriageReturns(const std::string& text);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// A fresh folder below the build tree's temp area, removed when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace tavrin::test
