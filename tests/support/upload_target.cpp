#include "tests/support/upload_target.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/test_settings.h"
#include "tests/support/wine.h"

namespace tavrin::test {
namespace {

// COM numbers handed out across every test process of the run, so Wine's shared
// dosdevices folder never gets two robots on one name.
int NextSharedComNumber() {
  std::string counter = TestSetting("TAVRIN_TEST_TMP") + "/com-counter";
  int fd = open(counter.c_str(), O_RDWR | O_CREAT, 0644);
  if (fd < 0) throw std::runtime_error("cannot open " + counter);
  flock(fd, LOCK_EX);
  char text[16] = {};
  ssize_t length = pread(fd, text, sizeof text - 1, 0);
  int next = length > 0 ? std::atoi(text) : 0;
  if (next < 20 || next >= 250) next = 20;
  std::string stored = std::to_string(next + 1);
  if (ftruncate(fd, 0) != 0 || pwrite(fd, stored.data(), stored.size(), 0) < 0) {
    throw std::runtime_error("cannot update " + counter);
  }
  flock(fd, LOCK_UN);
  close(fd);
  return next;
}

}  // namespace

std::string BuildName(Build build) {
  switch (build) {
    case Build::kNative:
      return "native";
    case Build::kWindows:
      return "windows_x86_64";
    default:
      return "windows_i686";
  }
}

std::vector<Build> AllBuilds() { return {Build::kNative, Build::kWindows, Build::kWindows32}; }
std::vector<Build> FullTestBuilds() { return {Build::kNative, Build::kWindows}; }

UploadTarget::UploadTarget(Build build) : build_(build) {
  switch (build) {
    case Build::kNative:
      binDir_ = TestSetting("TAVRIN_NATIVE_BIN_DIR");
      break;
    case Build::kWindows:
      binDir_ = WindowsBinDir();
      break;
    case Build::kWindows32:
      binDir_ = Windows32BinDir();
      break;
  }
}

bool UploadTarget::Available() const {
  return !binDir_.empty() && (build_ == Build::kNative || !WinePrefix().empty());
}

int UploadTarget::FreeComNumber() { return NextSharedComNumber(); }

robotsim::Findable UploadTarget::Attach(const std::string& devicePath, int com,
                                        std::optional<robotsim::UsbId> usb) {
  if (build_ == Build::kNative) {
    return robotsim::MakeFindableNative(devicePath, ports_.path(), sysfs_.path(), com,
                                        usb.value_or(robotsim::UsbId::Primary()));
  }
  if (usb) return robotsim::MakeFindableWine(devicePath, WinePrefix(), com, *usb);
  std::string link = WinePrefix() + "/dosdevices/com" + std::to_string(com);
  unlink(link.c_str());
  if (symlink(devicePath.c_str(), link.c_str()) != 0) {
    throw std::runtime_error("cannot link " + link);
  }
  return robotsim::Findable([link] { unlink(link.c_str()); });
}

ProcessResult UploadTarget::Run(const std::vector<std::string>& words, double timeoutSeconds,
                                const std::string& workFolder) {
  return RunProgram("upload", "Upload.exe", words, timeoutSeconds, workFolder);
}

ProcessResult UploadTarget::RunCallTwice(const std::vector<std::string>& words,
                                         double timeoutSeconds) {
  return RunProgram("call_twice", "CallTwice.exe", words, timeoutSeconds, "");
}

ProcessResult UploadTarget::RunProgram(const std::string& nativeName,
                                       const std::string& windowsName,
                                       const std::vector<std::string>& words, double timeoutSeconds,
                                       const std::string& workFolder) {
  const std::string folder = workFolder.empty() ? work_.path() : workFolder;
  ProcessSpec spec;
  if (build_ == Build::kNative) {
    spec.argv = TestWrapper();
    spec.argv.push_back(binDir_ + "/" + nativeName);
    spec.argv.insert(spec.argv.end(), words.begin(), words.end());
    spec.setEnv = {{"TAVRIN_PORTS", ports_.path()}, {"TAVRIN_SYSFS", sysfs_.path()}};
  } else {
    spec = WineSpec(binDir_ + "/" + windowsName, words);
  }
  const std::string json = folder + "/buffers.json";
  unlink(json.c_str());
  spec.setEnv["TAVRIN_RESULT_JSON"] = FilePath(json);
  spec.workingDirectory = folder;
  spec.timeoutSeconds = timeoutSeconds;
  ProcessResult result = RunProcess(spec);
  if (build_ != Build::kNative) {
    result.out = WithoutCarriageReturns(result.out);
    result.err = WithoutCarriageReturns(result.err);
  }
  return result;
}

std::map<std::string, std::string> UploadTarget::HostBuffers() const {
  // The host writes one flat object of strings; read it back with its own escapes.
  std::map<std::string, std::string> fields;
  const std::string text = ReadFileBytes(work_ / "buffers.json");
  std::size_t at = 0;
  auto readString = [&](std::string& out) {
    at = text.find('"', at);
    if (at == std::string::npos) return false;
    for (++at; at < text.size() && text[at] != '"'; ++at) {
      if (text[at] != '\\') {
        out += text[at];
        continue;
      }
      char escape = text[++at];
      if (escape == 'u') {
        out += static_cast<char>(std::stoi(text.substr(at + 1, 4), nullptr, 16));
        at += 4;
      } else {
        out += escape == 'n' ? '\n' : escape == 'r' ? '\r' : escape == 't' ? '\t' : escape;
      }
    }
    ++at;
    return true;
  };
  for (;;) {
    std::string key;
    std::string value;
    if (!readString(key) || !readString(value)) break;
    fields[key] = value;
  }
  return fields;
}

std::string UploadTarget::FilePath(const std::string& posixPath) const {
  return build_ == Build::kNative ? posixPath : WindowsPath(posixPath);
}

}  // namespace tavrin::test
