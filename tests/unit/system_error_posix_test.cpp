#include "platform/system_error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace tavrin {
namespace {

TEST(SystemErrorText, IsTheSystemsTextWithALineEnd) {
  errno = ENOENT;
  EXPECT_EQ(platform::SystemErrorText(), "No such file or directory\n");
}

TEST(SystemErrorText, PermissionProblemsSayHowToFixThem) {
  errno = EACCES;
  std::string text = platform::SystemErrorText();
  EXPECT_EQ(text.rfind("Permission denied (", 0), 0u) << text;
  EXPECT_NE(text.find("udev rule"), std::string::npos) << text;
  EXPECT_NE(text.find("dialout"), std::string::npos) << text;
  EXPECT_EQ(text.back(), '\n');
}

}  // namespace
}  // namespace tavrin
