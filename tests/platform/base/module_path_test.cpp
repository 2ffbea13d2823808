#include "platform/base/module_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/base/code_page.h"
#include "platform/base/last_error.h"

namespace {

using quorlin::platform::NativePath;

TEST(ModulePath, NativePathDecodesGbkAndTurnsBackslashes) {
  struct Row { std::string platform; std::string native; };
  const Row rows[] = {
      {"dir\\sub\\quorlin.ini", "dir/sub/quorlin.ini"},
      {"/opt/q/bin\\quorlin.ini", "/opt/q/bin/quorlin.ini"},
      {"C:\\x", "C:/x"},                                          // no drive is invented
      {"\xB0\xC9\xC1\xE4\\a.jpg", "\xE5\x90\xA7\xE9\xBE\x84/a.jpg"},  // 吧龄\a.jpg
      {"\x81\x5C\\b", "\xE4\xB9\x97/b"},  // 0x5C as a trail byte is part of a character
      {"", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(NativePath(row.platform), row.native) << row.platform;
}

TEST(ModulePath, ModuleFileNameIsTheExecutable) {
  char name[4096];
  const DWORD length = GetModuleFileNameA(0, name, sizeof name);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::string(name), quorlin::platform::Utf8ToGbk(std::filesystem::read_symlink("/proc/self/exe").string()));
  EXPECT_TRUE(std::filesystem::is_regular_file(NativePath(name)));

  // Too small: cut to size - 1 bytes plus NUL, the result is the size.
  char small[6];
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameA(0, small, sizeof small), sizeof small);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::string(small), std::string(name, 5));

  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameA(0x4242, name, sizeof name), 0u);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  quorlin::platform::SetModuleFileNameLookup([](HMODULE module) -> std::optional<std::string> {
    if (module == 0x4242) return std::string("/lib/testmod.so");
    return std::nullopt;
  });
  EXPECT_EQ(GetModuleFileNameA(0x4242, name, sizeof name), 15u);
  EXPECT_STREQ(name, "/lib/testmod.so");
  quorlin::platform::SetModuleFileNameLookup(nullptr);
}

TEST(ModulePath, CurrentDirectoryWithGbkNamesAndBackslashes) {
  const std::filesystem::path original = std::filesystem::current_path();
  char pattern[] = "/tmp/quorlin-cwd-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string root = pattern;
  std::filesystem::create_directory(root + "/\xE5\x90\xA7\xE9\xBE\x84");  // 吧龄
  std::ofstream(root + "/file");

  EXPECT_TRUE(SetCurrentDirectoryA((root + "\\\xB0\xC9\xC1\xE4").c_str()));
  EXPECT_EQ(std::filesystem::current_path().string(), root + "/\xE5\x90\xA7\xE9\xBE\x84");

  const std::string expected = root + "/\xB0\xC9\xC1\xE4";
  EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), expected.size() + 1);  // size query counts the NUL
  char tooSmall[8] = "unset";
  EXPECT_EQ(GetCurrentDirectoryA(sizeof tooSmall, tooSmall), expected.size() + 1);
  EXPECT_STREQ(tooSmall, "unset");
  char buffer[PATH_MAX];
  EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), expected.size());
  EXPECT_EQ(std::string(buffer), expected);

  struct Row { std::string path; DWORD error; };
  const Row failures[] = {
      {root + "\\missing", ERROR_FILE_NOT_FOUND},
      {root + "\\missing\\deeper", ERROR_PATH_NOT_FOUND},
      {root + "\\file", ERROR_DIRECTORY},
  };
  for (const Row& row : failures) {
    SetLastError(0);
    EXPECT_FALSE(SetCurrentDirectoryA(row.path.c_str())) << row.path;
    EXPECT_EQ(GetLastError(), row.error) << row.path;
  }
  std::filesystem::current_path(original);
  std::filesystem::remove_all(root);
}

}  // namespace
