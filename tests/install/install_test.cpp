// Runs the real Install.exe under Wine and checks its log, its exit status and the access entry
// it hands to the system. Wine does not keep a folder's access list (it maps it onto the Unix mode
// bits and reports a list made up from those), so the entry is read from the trace file the
// program writes when INSTALL_GRANT_TRACE names one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <exception>
#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/process_runner.h"
#include "tests/support/wine.h"

namespace tavrin::test {
namespace {

// The program writes "\r\n" into a text-mode file; the C runtime expands its "\n" once more.
constexpr char kLineEnd[] = "\r\r\n";

std::string InstallExe() { return WindowsBinDir() + "/Install.exe"; }
std::string ProbeExe() { return WindowsBinDir() + "/InstallProbe.exe"; }

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}
void MakeFolders(const std::string& path) { std::filesystem::create_directories(path); }

std::string Replace(std::string text, const std::string& placeholder, const std::string& value) {
  for (std::size_t at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
  return text;
}

std::string Lines(std::initializer_list<std::string> lines, const std::string& end) {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

std::string SuccessLog(const std::string& folder) {
  return Lines({"0\tInstallation nach " + folder, "0\tDateirechte \xE4ndern f\xFCr " + folder,
                "0\tDer Vollzugriff wurde f\xFCr Benutzer gesetzt f\xFCr " + folder,
                "0\tInstallation abgeschlossen"},
               kLineEnd);
}

// One "name=value" line of the trace; "(absent)" when there is none.
std::string TraceValue(const std::string& trace, const std::string& name) {
  const std::string key = name + "=";
  for (std::size_t line = 0; line < trace.size();) {
    std::size_t end = trace.find('\n', line);
    if (end == std::string::npos) end = trace.size();
    if (trace.compare(line, key.size(), key) == 0) {
      return trace.substr(line + key.size(), end - line - key.size());
    }
    line = end + 1;
  }
  return "(absent)";
}

struct InstallRun {
  ProcessResult process;
  std::string trace;  // empty when the program did not get to the grant
};

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (WindowsBinDir().empty() || WinePrefix().empty()) {
      GTEST_SKIP() << "TAVRIN_WINDOWS_BIN_DIR or TAVRIN_WINEPREFIX not set";
    }
  }

  // The installation folder of most tests; its "log" subfolder is made by the test.
  std::string Product() const { return temp_ / "Product"; }
  std::string ProductText() const { return WindowsPath(Product()); }

  // Runs Install.exe with `tail` as the text after its name. Wine quotes an argument that holds
  // blanks, so such a tail goes through the probe, which passes it on unchanged.
  InstallRun Run(const std::string& tail, const std::string& workingDirectory = "") {
    ProcessSpec spec;
    if (tail.empty()) {
      spec = WineSpec(InstallExe(), {});
    } else if (tail.find_first_of(" \t\"") == std::string::npos) {
      spec = WineSpec(InstallExe(), {tail});
    } else {
      EXPECT_TRUE(Exists(ProbeExe())) << ProbeExe() << " is built with Install.exe";
      spec = WineSpec(ProbeExe(), {"run", WindowsPath(InstallExe()), tail});
    }
    const std::string tracePath = temp_ / "grant-trace.txt";
    unlink(tracePath.c_str());
    spec.setEnv["INSTALL_GRANT_TRACE"] = WindowsPath(tracePath);
    spec.workingDirectory = workingDirectory;
    spec.timeoutSeconds = 30;
    InstallRun run;
    run.process = RunProcess(spec);
    run.trace = ReadFileBytes(tracePath);
    return run;
  }

  TempFolder temp_;
};

TEST_F(InstallTest, GrantsFullAccessToUsersWithInheritanceOnTheDaclOnly) {
  MakeFolders(Product() + "/log");
  const InstallRun run = Run("-p" + ProductText() + "\\");
  EXPECT_EQ(run.process.exitStatus, 0);
  EXPECT_EQ(
      run.trace,
      Lines({"object=" + ProductText(), "object_type=1", "security_information=4", "trustee_form=0",
             "trustee_type=5", "trustee_sid=S-1-5-32-545", "multiple_trustee=none operation 0",
             "access_rights=2032127", "access_mode=2", "inheritance=3", "acl_entries=1",
             "acl_entry0=type 0 flags 3 mask 2032127 sid S-1-5-32-545", "apply_result=0"},
            "\n"));
}

TEST_F(InstallTest, IsAWindowlessProgramNeedingNoMingwRuntimeDll) {
  ProcessSpec spec;
  spec.argv = {"x86_64-w64-mingw32-objdump", "-p", InstallExe()};
  ProcessResult dump;
  try {
    dump = RunProcess(spec);
  } catch (const std::exception& error) {
    GTEST_SKIP() << error.what();
  }
  if (dump.exitStatus != 0) GTEST_SKIP() << "objdump cannot read it: " << dump.err;

  EXPECT_NE(dump.out.find("(Windows GUI)"), std::string::npos) << "no console window";
  std::vector<std::string> dlls;
  for (std::size_t at = dump.out.find("DLL Name: "); at != std::string::npos;
       at = dump.out.find("DLL Name: ", at + 1)) {
    const std::size_t start = at + std::strlen("DLL Name: ");
    dlls.push_back(dump.out.substr(start, dump.out.find('\n', start) - start));
  }
  EXPECT_FALSE(dlls.empty());
  // libstdc++-6, libgcc_s_*, libwinpthread-1: none of them is on a bare Windows.
  for (const std::string& dll : dlls) EXPECT_NE(dll.rfind("lib", 0), 0u) << dll;
}

// How the folder text after "-p" becomes the folder: {D} stands for the Product folder.
struct FolderTextCase {
  const char* name;
  const char* tail;
  const char* subfolder;  // below Product, made with a "log" subfolder
  const char* folder;     // what the log and the grant name
};

void PrintTo(const FolderTextCase& c, std::ostream* out) { *out << c.name; }

class FolderTextTest : public InstallTest, public ::testing::WithParamInterface<FolderTextCase> {};

TEST_P(FolderTextTest, LogsEveryStepForTheFolderAndExitsZero) {
  const FolderTextCase& c = GetParam();
  MakeFolders(Product() + "/" + c.subfolder + "/log");
  const std::string folder = Replace(c.folder, "{D}", ProductText());

  const InstallRun run = Run(Replace(c.tail, "{D}", ProductText()));

  EXPECT_EQ(run.process.exitStatus, 0) << run.process.err;
  EXPECT_EQ(ReadFileBytes(Product() + "/" + c.subfolder + "/log/Install.log"), SuccessLog(folder));
  EXPECT_EQ(TraceValue(run.trace, "object"), folder);
  EXPECT_EQ(TraceValue(run.trace, "apply_result"), "0");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, FolderTextTest,
    ::testing::Values(FolderTextCase{"TrailingBackslash", "-p{D}\\", "", "{D}"},
                      FolderTextCase{"NoTrailingBackslash", "-p{D}", "", "{D}"},
                      FolderTextCase{"TwoTrailingBackslashesLoseOne", "-p{D}\\\\", "", "{D}\\"},
                      FolderTextCase{"TrailingBlanksThenBackslash", "-p{D}\\   ", "", "{D}"},
                      FolderTextCase{"TextBeforeOptionIgnored", "/s /q -p{D}\\", "", "{D}"},
                      FolderTextCase{"FirstOptionWins", "-p{D}\\a-pb\\", "a-pb", "{D}\\a-pb"},
                      FolderTextCase{"PercentSignsLiteral", "-p{D}\\100%s%d%n\\", "100%s%d%n",
                                     "{D}\\100%s%d%n"}),
    [](const ::testing::TestParamInfo<FolderTextCase>& info) { return info.param.name; });

TEST_F(InstallTest, BlankAfterOptionStaysInTheFolderText) {
  // " Product" relative to the working folder: only a kept blank finds this folder.
  MakeFolders(temp_ / " Product/log");
  const InstallRun run = Run("-p Product", temp_.path());
  EXPECT_EQ(run.process.exitStatus, 0);
  EXPECT_EQ(ReadFileBytes(temp_ / " Product/log/Install.log"), SuccessLog(" Product"));
  EXPECT_EQ(TraceValue(run.trace, "object"), " Product");
  EXPECT_EQ(TraceValue(run.trace, "apply_result"), "0");
}

TEST_F(InstallTest, EmptyFolderTextLogsTheFailedGrantOnTheCurrentDrive) {
  // An empty folder text makes the log "\log\Install.log" on the current drive; run from the
  // prefix's C: so that this is a folder the test can make and remove.
  const std::string driveC = WinePrefix() + "/drive_c";
  if (!Exists(driveC) || Exists(driveC + "/log")) GTEST_SKIP() << "no free C:\\log in the prefix";
  MakeFolders(driveC + "/log");
  struct RemoveLogFolder {
    std::string path;
    ~RemoveLogFolder() {
      std::error_code ignored;  // a leftover only makes the next run skip
      std::filesystem::remove_all(path, ignored);
    }
  } removeLogFolder{driveC + "/log"};

  const InstallRun run = Run("-p   ", driveC);

  EXPECT_EQ(run.process.exitStatus, 0);
  EXPECT_EQ(TraceValue(run.trace, "object"), "");
  const std::string error = TraceValue(run.trace, "apply_result");
  EXPECT_NE(error, "0");
  EXPECT_EQ(ReadFileBytes(driveC + "/log/Install.log"),
            Lines({"0\tInstallation nach ", "0\tDateirechte \xE4ndern f\xFCr ",
                   error + "\tSetNamedSecurityInfo () fehlgeschlagen f\xFCr ",
                   "0\tInstallation abgeschlossen"},
                  kLineEnd));
}

TEST_F(InstallTest, FolderWithoutLogSubfolderIsGrantedWithoutLog) {
  MakeFolders(Product());
  const InstallRun run = Run("-p" + ProductText() + "\\");
  EXPECT_EQ(run.process.exitStatus, 0);
  EXPECT_FALSE(Exists(Product() + "/log"));
  EXPECT_EQ(TraceValue(run.trace, "object"), ProductText());
  EXPECT_EQ(TraceValue(run.trace, "apply_result"), "0");
}

TEST_F(InstallTest, AppendsToAnExistingLog) {
  MakeFolders(Product() + "/log");
  const std::string earlier = "0\tInstallation abgeschlossen\r\r\n";
  WriteFileBytes(Product() + "/log/Install.log", earlier);
  const InstallRun run = Run("-p" + ProductText());
  EXPECT_EQ(run.process.exitStatus, 0);
  EXPECT_EQ(ReadFileBytes(Product() + "/log/Install.log"), earlier + SuccessLog(ProductText()));
}

// Without "-p" the program shows its message box and ends with -1 (255 for Wine's caller). Wine
// without a display has no window driver: MessageBoxA fails at once instead of waiting for a click,
// so these runs end quickly. The box itself is checked on a virtual desktop below.
struct MissingOptionCase {
  const char* name;
  const char* tail;
};

void PrintTo(const MissingOptionCase& c, std::ostream* out) { *out << c.name; }

class MissingOptionTest : public InstallTest,
                          public ::testing::WithParamInterface<MissingOptionCase> {};

TEST_P(MissingOptionTest, EndsWithMinusOneAndLeavesTheLogAlone) {
  // The folder is named relative to the working folder: a temp path might hold a "-p" itself.
  MakeFolders(Product() + "/log");
  const std::string earlier = "earlier run\r\n";
  WriteFileBytes(Product() + "/log/Install.log", earlier);

  const InstallRun run = Run(GetParam().tail, temp_.path());

  EXPECT_FALSE(run.process.timedOut);
  EXPECT_EQ(run.process.exitStatus, 255) << run.process.err << run.process.out;
  EXPECT_EQ(ReadFileBytes(Product() + "/log/Install.log"), earlier);
  EXPECT_EQ(run.trace, "") << "no grant without -p";
}

INSTANTIATE_TEST_SUITE_P(CommandLines, MissingOptionTest,
                         ::testing::Values(MissingOptionCase{"Empty", ""},
                                           MissingOptionCase{"FolderOnly", "Product\\"},
                                           MissingOptionCase{"UppercaseOption", "-PProduct\\"},
                                           MissingOptionCase{"SlashOption", "/pProduct\\"},
                                           MissingOptionCase{"BlankInsideOption", "- pProduct\\"}),
                         [](const ::testing::TestParamInfo<MissingOptionCase>& info) {
                           return info.param.name;
                         });

TEST_F(InstallTest, MessageBoxShowsTheCommandLineUnderItsTitleWithOnlyOk) {
  // Wine's null window driver on a virtual desktop makes real windows without a display; the
  // probe reads the box, presses OK and reports the exit status.
  const std::string desktop = "/desktop=install-test-" + std::to_string(getpid()) + ",640x480,null";
  const std::string tail = "/q /P 100%s";
  ProcessSpec spec = WineSpec(
      "explorer", {desktop, WindowsPath(ProbeExe()), "box", WindowsPath(InstallExe()), tail});
  spec.timeoutSeconds = 30;
  const ProcessResult result = RunProcess(spec);
  EXPECT_FALSE(result.timedOut);
  // Wine cannot name the icon another process loaded, only that there is one.
  EXPECT_EQ(WithoutCarriageReturns(result.out),
            Lines({"title=Falsche Kommandozeile", "text=" + tail, "icon=present", "buttons=ok ",
                   "owner=none", "exit=-1"},
                  "\n"));
}

// A Windows path of exactly `length` characters below `root`, made of nested folders.
std::string PathOfLength(const std::string& root, std::size_t length) {
  std::string path = root;
  std::size_t remaining = length - WindowsPath(root).size();
  while (remaining > 0) {
    // Each folder costs its name and a backslash; never leave a single character over.
    std::size_t name = remaining - 1 < 200 ? remaining - 1 : 200;
    if (remaining - 1 - name == 1) --name;
    path += "/" + std::string(name, 'd');
    remaining -= name + 1;
  }
  return path;
}

// The log path has room for 1024 bytes with its terminating zero: "\log\Install.log" takes 16,
// so a folder text of 1007 characters is the longest that still gets a log.
struct LongFolderCase {
  const char* name;
  std::size_t length;
  bool folderExists;
  bool logWritten;
  const char* applyResult;
};

void PrintTo(const LongFolderCase& c, std::ostream* out) { *out << c.name; }

class LongFolderTest : public InstallTest, public ::testing::WithParamInterface<LongFolderCase> {};

TEST_P(LongFolderTest, GrantsAndExitsZeroWithALogOnlyWhenThePathFits) {
  const LongFolderCase& c = GetParam();
  const std::string folder = PathOfLength(Product(), c.length);
  const std::string folderText = WindowsPath(folder);
  ASSERT_EQ(folderText.size(), c.length);
  if (c.folderExists) MakeFolders(folder + "/log");

  const InstallRun run = Run("-p" + folderText + "\\");

  EXPECT_FALSE(run.process.timedOut);
  EXPECT_EQ(run.process.exitStatus, 0);
  EXPECT_EQ(TraceValue(run.trace, "object"), folderText);
  if (c.applyResult != nullptr) {
    EXPECT_EQ(TraceValue(run.trace, "apply_result"), c.applyResult);
  }
  if (c.logWritten) {
    EXPECT_EQ(ReadFileBytes(folder + "/log/Install.log"), SuccessLog(folderText));
  } else if (c.folderExists) {
    EXPECT_FALSE(Exists(folder + "/log/Install.log"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, LongFolderTest,
    ::testing::Values(LongFolderCase{"LongestWithLog", 1007, true, true, "0"},
                      LongFolderCase{"OneTooLong", 1008, true, false, "0"},
                      // Far past the log path; the folder does not exist, so the grant fails.
                      LongFolderCase{"FarTooLong", 6000, false, false, nullptr}),
    [](const ::testing::TestParamInfo<LongFolderCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tavrin::test
