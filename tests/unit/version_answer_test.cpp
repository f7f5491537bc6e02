#include <gtest/gtest.h>

#include "robot_link/discovery.h"

namespace tavrin {
namespace {

using Table = std::vector<std::pair<std::string, std::string>>;

Table Parse(const std::string& answer) {
  VersionTable table{{"stale", "entry"}};
  table.clear();
  ParseVersionAnswer(answer, table);
  return Table(table.begin(), table.end());
}

TEST(VersionAnswer, Cases) {
  struct Case {
    const char* name;
    std::string answer;
    Table table;
  } cases[] = {
      {"header and two entries, walked in key order",
       "Component,Version\nSoftware,1,2,3\nModelID,7\n",
       {{"ModelID", "7"}, {"Software", "1,2,3"}}},
      {"CR LF stays on every value but the last",
       "Component,Version\r\nSoftware,1,2,3\r\nModelID,7\r\n",
       {{"ModelID", "7"}, {"Software", "1,2,3\r"}}},
      {"empty fields vanish", "Software,,3\n", {{"Software", "3"}}},
      {"key trimmed, value not", " ModelID , X\n", {{"ModelID", " X"}}},
      {"lower-case component is an entry", "component,1\n", {{"component", "1"}}},
      {"a line without comma is skipped", "GetVersion\nSoftware,2\n", {{"Software", "2"}}},
      {"second value wins", "Software,1\nSoftware,2\n", {{"Software", "2"}}},
      {"white space only", " \r\n\t", {}},
      {"header only", "Component,Version\n", {}},
      {"bytes order keys, high bytes last", "\xC3\x9C,1\nZ,2\n", {{"Z", "2"}, {"\xC3\x9C", "1"}}},
      {"zero bytes are kept",
       std::string("K\0ey,v\0al\n", 10),
       {{std::string("K\0ey", 4), std::string("v\0al", 4)}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(c.answer), c.table) << c.name;
}

}  // namespace
}  // namespace tavrin
