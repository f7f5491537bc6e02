#include "diagnostics/text_ops.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(TextOps, TrimRemovesTheSixBlanksOnly) {
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim(" "), "");
  EXPECT_EQ(Trim("\t\n\v\f\r "), "");
  EXPECT_EQ(Trim("  a b \r\n"), "a b");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // bytes from 128 up are no blanks
  EXPECT_EQ(TrimLeft(" x "), "x ");
  EXPECT_EQ(TrimRight(" x "), " x");
}

TEST(TextOps, SplitDropsEmptyFieldsAndKeepsBlanks) {
  struct Case {
    const char* text;
    std::vector<std::string> fields;
  } cases[] = {
      {"a,b", {"a", "b"}}, {",a,,b,", {"a", "b"}},    {"", {}},
      {",,,", {}},         {" a , b", {" a ", " b"}}, {"abc", {"abc"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> fields = {"stale"};
    Split(c.text, ',', fields);
    EXPECT_EQ(fields, c.fields) << c.text;
  }
}

TEST(TextOps, ToUpperChangesOnlyAsciiLetters) { EXPECT_EQ(ToUpper("urt-1,\xE4z"), "URT-1,\xE4Z"); }

}  // namespace
}  // namespace tavrin
