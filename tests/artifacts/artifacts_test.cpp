// What a user drops next to a host: one export, and on Windows nothing but system DLLs.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "tests/support/process_runner.h"
#include "tests/support/test_settings.h"
#include "tests/support/wine.h"

namespace tavrin {
namespace {

using test::ProcessSpec;
using test::RunProcess;

std::vector<std::string> Matches(const std::string& text, const std::regex& pattern) {
  std::vector<std::string> found;
  for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

TEST(Artifacts, NativeLibraryExportsStartDllAlone) {
  std::string library = test::TestSetting("TAVRIN_NATIVE_BIN_DIR") + "/libTavrin.so";
  auto result = RunProcess(ProcessSpec{{"nm", "-D", "--defined-only", library}});
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(Matches(result.out, std::regex(R"(\S+ [A-Za-z] (\S+)\n)")),
            std::vector<std::string>{"StartDLL"});
}

struct WindowsBuild {
  std::string binDir;
  std::string objdump;
};

void PrintTo(const WindowsBuild& build, std::ostream* out) { *out << build.objdump; }

class WindowsArtifacts : public ::testing::TestWithParam<WindowsBuild> {};

TEST_P(WindowsArtifacts, ExportStartDllUndecoratedAndImportOnlySystemDlls) {
  const WindowsBuild& build = GetParam();
  if (build.binDir.empty()) GTEST_SKIP() << "Windows build not given";
  const std::set<std::string> system = {"KERNEL32.dll", "msvcrt.dll", "ADVAPI32.dll", "USER32.dll"};
  for (const char* binary : {"Tavrin.dll", "Upload.exe", "Install.exe"}) {
    auto result = RunProcess(ProcessSpec{{build.objdump, "-p", build.binDir + "/" + binary}});
    ASSERT_EQ(result.exitStatus, 0) << binary << result.err;
    for (const std::string& dll : Matches(result.out, std::regex(R"(DLL Name: (\S+))"))) {
      EXPECT_TRUE(system.count(dll)) << binary << " imports " << dll;
    }
    if (std::string(binary) == "Tavrin.dll") {
      std::size_t start = result.out.find("[Ordinal/Name Pointer] Table");
      ASSERT_NE(start, std::string::npos);
      std::string table = result.out.substr(start, result.out.find("\n\n", start) - start);
      EXPECT_EQ(Matches(table, std::regex(R"(\[\s*\d+\] (\S+))")),
                std::vector<std::string>{"StartDLL"});
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Builds, WindowsArtifacts,
    ::testing::Values(WindowsBuild{test::WindowsBinDir(), "x86_64-w64-mingw32-objdump"},
                      WindowsBuild{test::Windows32BinDir(), "i686-w64-mingw32-objdump"}),
    [](const auto& info) { return info.index == 0 ? std::string("x86_64") : std::string("i686"); });

}  // namespace
}  // namespace tavrin
