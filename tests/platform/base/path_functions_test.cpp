#include "platform/base/path_functions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PathFunctions, PathRemoveBlanksTrimsSpacesInPlace) {
  struct Row {
    const char* in;
    const char* out;
  };
  const Row rows[] = {
      {"", ""},
      {"   ", ""},
      {"abc", "abc"},
      {"  a b  ", "a b"},
      {" lead", "lead"},
      {"trail ", "trail"},
      {"\tkeeps tabs\t", "\tkeeps tabs\t"},
      {" \r\nline\r\n ", "\r\nline\r\n"},
      {"  C:\\dir\\file.ini ", "C:\\dir\\file.ini"},
      {" \xC4\xE3\xBA\xC3 ", "\xC4\xE3\xBA\xC3"},  // GBK bytes are kept as they are
  };
  for (const Row& row : rows) {
    std::string buffer = row.in;
    buffer += '\0';
    buffer += '#';  // the byte after the NUL must stay untouched
    PathRemoveBlanksA(buffer.data());
    EXPECT_STREQ(buffer.c_str(), row.out) << '"' << row.in << '"';
    EXPECT_EQ(buffer.back(), '#') << '"' << row.in << '"';
  }
  PathRemoveBlanksA(nullptr);
}

TEST(PathFunctions, LstrlenAndLstrcpyn) {
  EXPECT_EQ(lstrlenA(nullptr), 0);
  EXPECT_EQ(lstrlenA(""), 0);
  EXPECT_EQ(lstrlenA("\xC4\xE3x"), 3);

  struct Row {
    const char* source;
    int maxLength;
    const char* expected;  // the destination afterwards
  };
  const Row rows[] = {
      {"hello", 10, "hello"}, {"hello", 6, "hello"}, {"hello", 5, "hell"},
      {"hello", 1, ""},       {"hello", 0, "xxxxxxx"}, {"", 4, ""},
  };
  for (const Row& row : rows) {
    char destination[8] = "xxxxxxx";
    EXPECT_EQ(lstrcpynA(destination, row.source, row.maxLength), destination);
    EXPECT_STREQ(destination, row.expected) << row.source << " " << row.maxLength;
  }
  char destination[4] = "xyz";
  EXPECT_EQ(lstrcpynA(destination, nullptr, 4), nullptr);
  EXPECT_EQ(lstrcpynA(nullptr, "abc", 4), nullptr);
}

}  // namespace
