// The folder text Install takes from its command line, for the cases a Wine run cannot show
// cheaply (tabs, a bare "-p", a blank before the last backslash).
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "install/command_line.h"

namespace install {
namespace {

struct CommandLineCase {
  const char* name;
  const char* commandLine;
  std::optional<std::string> installDir;
};

void PrintTo(const CommandLineCase& c, std::ostream* out) { *out << '[' << c.commandLine << ']'; }

class InstallDirTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(InstallDirTest, FolderTextAfterFirstOption) {
  EXPECT_EQ(InstallDirFromCommandLine(GetParam().commandLine), GetParam().installDir);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, InstallDirTest,
    ::testing::Values(CommandLineCase{"TrailingBackslash", "-pC:\\Product\\", "C:\\Product"},
                      CommandLineCase{"BlankAfterOption", "-p C:\\Product", " C:\\Product"},
                      CommandLineCase{"OptionAlone", "-p", ""},
                      CommandLineCase{"OnlyBlanks", "-p   ", ""},
                      CommandLineCase{"OnlyBackslash", "-p\\", ""},
                      CommandLineCase{"TwoBackslashesLoseOne", "-pC:\\\\", "C:\\"},
                      CommandLineCase{"BlanksThenBackslash", "-pC:\\Product\\  ", "C:\\Product"},
                      // The backslash goes only when it is last once the blanks are gone.
                      CommandLineCase{"BlankBeforeBackslash", "-pC:\\Product \\", "C:\\Product "},
                      // Only blanks are trimmed: a tab stays, and so does the backslash before it.
                      CommandLineCase{"TabKept", "-pC:\\Product\\\t", "C:\\Product\\\t"},
                      CommandLineCase{"FirstOptionWins", "setup -q -pC:\\a-pb", "C:\\a-pb"},
                      CommandLineCase{"Empty", "", std::nullopt},
                      CommandLineCase{"FolderOnly", "C:\\Product", std::nullopt},
                      CommandLineCase{"UppercaseOption", "-PC:\\Product", std::nullopt},
                      CommandLineCase{"BlankInsideOption", "- pC:\\Product", std::nullopt}),
    [](const ::testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

}  // namespace
}  // namespace install
