#include "diagnostics/log_category.h"

#include <gtest/gtest.h>

#include "tests/unit/log_capture.h"

namespace tavrin {
namespace {

using test::LogCapture;
using Lines = std::vector<std::string>;

TEST(LogCategories, FreshStateHasNothingEnabledAndUnknownNumbersHaveNoTag) {
  LogCapture capture;
  for (LogCategory c = 0; c < 32; ++c) EXPECT_FALSE(IsLogEnabled(c)) << c;
  EXPECT_STREQ(LogCategoryName(0), "???");
  EXPECT_STREQ(LogCategoryName(4), "???");
  EXPECT_STREQ(LogCategoryName(25), "???");
  EXPECT_STREQ(LogCategoryName(cat::URT), "URT");
  EXPECT_STREQ(LogCategoryName(cat::DB4), "DB4");
}

TEST(LogCategories, ListsEnableByTagAndConfirmWithTheNameAsGiven) {
  struct Case {
    const char* list;
    Lines confirmations;
    std::vector<LogCategory> enabled;
  } cases[] = {
      {"", {}, {}},
      {",,,", {}, {}},
      {"urt", {"LOG Log urt enabled"}, {cat::URT}},
      {" tra ", {"LOG Log  tra  enabled"}, {cat::TRA}},
      {"URT,,TRA,", {"LOG Log URT enabled", "LOG Log TRA enabled"}, {cat::URT, cat::TRA}},
      {"XYZ,U RT,URT TRA", {}, {}},
      {"URT,URT", {"LOG Log URT enabled", "LOG Log URT enabled"}, {cat::URT}},
      {"err,Wrn,sql,SCR,htp,thr,sim,db2,db3,db4",
       {"LOG Log err enabled", "LOG Log Wrn enabled", "LOG Log sql enabled", "LOG Log SCR enabled",
        "LOG Log htp enabled", "LOG Log thr enabled", "LOG Log sim enabled", "LOG Log db2 enabled",
        "LOG Log db3 enabled", "LOG Log db4 enabled"},
       {cat::ERR, cat::WRN, cat::SQL, cat::SCR, cat::HTP, cat::THR, cat::SIM, cat::DB2, cat::DB3,
        cat::DB4}},
  };
  for (const Case& c : cases) {
    LogCapture capture;
    EnableLogFlags(c.list);
    EXPECT_EQ(capture.Tagged(), c.confirmations) << c.list;
    int enabledCount = 0;
    for (LogCategory n = 0; n < 32; ++n) enabledCount += IsLogEnabled(n);
    EXPECT_EQ(enabledCount, static_cast<int>(c.enabled.size())) << c.list;
    for (LogCategory n : c.enabled) EXPECT_TRUE(IsLogEnabled(n)) << c.list << " " << n;
  }
}

TEST(LogCategories, InitLogKeepsWhatEarlierCallsEnabled) {
  LogCapture capture;
  EnableLogFlags("DB1");
  InitLog("");
  EXPECT_TRUE(IsLogEnabled(cat::DB1));
}

}  // namespace
}  // namespace tavrin
