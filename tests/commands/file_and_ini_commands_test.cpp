#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "runtime/commands/file_commands.h"
#include "runtime/commands/ini_commands.h"
#include "tests/commands/command_test_support.h"

namespace quorlin::commands {
namespace {

using namespace std::string_literals;

// Every test works in a fresh directory of its own under the system's temporary directory.
class FileCommands : public testing::CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    directory_ = std::filesystem::temp_directory_path() /
                 ("quorlin_commands_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override {
    std::filesystem::remove_all(directory_);
    CommandTest::TearDown();
  }
  std::string PathOf(const std::string& name) const { return (directory_ / name).string(); }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  std::filesystem::path directory_;
};

TEST_F(FileCommands, GetProgramDirectoryCopiesTheKernelsDirectory) {
  SetProgramDirectory("/opt/quorlin");
  EXPECT_EQ(TextOf(GetProgramDirectory, {}), "/opt/quorlin");
  SetProgramDirectory("");
  EXPECT_EQ(TextOf(GetProgramDirectory, {}), "");
}

TEST_F(FileCommands, WriteFileBytesJoinsTheByteSetsAndReadFileBytesReadsThemBack) {
  const std::string path = PathOf("card.jpg");
  EXPECT_TRUE(BooleanOf(WriteFileBytes, {Text(path), Bytes("BM\0\x01"s), Bytes(""), Omitted(), Bytes("tail")}));
  EXPECT_EQ(Contents(path), "BM\0\x01tail"s);
  EXPECT_EQ(BytesOf(ReadFileBytes, {Text(path)}), "BM\0\x01tail"s);

  // A second write truncates; writing nothing leaves an empty file, which reads as empty.
  EXPECT_TRUE(BooleanOf(WriteFileBytes, {Text(path), Bytes("x")}));
  EXPECT_EQ(Contents(path), "x");
  EXPECT_TRUE(BooleanOf(WriteFileBytes, {Text(path)}));
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(BytesOf(ReadFileBytes, {Text(path)}), "");
}

TEST_F(FileCommands, FileNamesMayUseBackslashes) {
  std::filesystem::create_directories(directory_ / "sub");
  std::string name = PathOf("sub") + "\\b.bin";
  EXPECT_TRUE(BooleanOf(WriteFileBytes, {Text(name), Bytes("ok")}));
  EXPECT_EQ(Contents(PathOf("sub/b.bin")), "ok");
  EXPECT_EQ(BytesOf(ReadFileBytes, {Text(name)}), "ok");
}

TEST_F(FileCommands, FailuresGiveFalseOrTheEmptyByteSet) {
  EXPECT_FALSE(BooleanOf(WriteFileBytes, {Text(""), Bytes("x")}));
  EXPECT_FALSE(BooleanOf(WriteFileBytes, {Text(PathOf("missing/dir/f")), Bytes("x")}));
  EXPECT_FALSE(BooleanOf(WriteFileBytes, {Text(directory_.string()), Bytes("x")}));
  EXPECT_EQ(BytesOf(ReadFileBytes, {Text("")}), "");
  EXPECT_EQ(BytesOf(ReadFileBytes, {Text(PathOf("missing"))}), "");
  EXPECT_EQ(BytesOf(ReadFileBytes, {Text(directory_.string())}), "");
  EXPECT_EQ(BytesOf(ReadFileBytes, {MakeInteger(3)}), "");
}

TEST_F(FileCommands, ReadIniItemSkipsLeadingBlanksAndTellsAnEmptyValueFromAMissingKey) {
  const std::string ini = PathOf("quorlin.ini");
  Write(ini, "[sz]\r\ncolor=255\r\nsave=\r\n[font]\r\nname=\xBA\xDA\xCC\xE5\r\n");
  struct Row { std::string file, section, key; TypedValue fallback; std::string expected; };
  const Row rows[] = {
      {ini, "sz", "color", Omitted(), "255"},
      {" \t" + ini, "\x01sz", "  color", Omitted(), "255"},
      {ini, "SZ", "Color", Omitted(), "255"},
      {ini, "sz", "save", Text("0"), ""},
      {ini, "sz", "absent", Text("0"), "0"},
      {ini, "back", "url", Omitted(), ""},
      {ini, "font", "name", Text("x"), "\xBA\xDA\xCC\xE5"},
      {ini, "   ", "color", Text("d"), ""},
      {ini, "sz", "", Text("d"), ""},
      {PathOf("none.ini"), "sz", "color", Text("d"), "d"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(TextOf(ReadIniItem, {Text(row.file), Text(row.section), Text(row.key), row.fallback}), row.expected)
        << row.section << "/" << row.key;
  }
}

TEST_F(FileCommands, WriteIniItemWritesDeletesKeysAndSectionsOnlyWhenOmitted) {
  const std::string ini = PathOf("quorlin.ini");
  auto read = [&](const char* section, const char* key) {
    return TextOf(ReadIniItem, {Text(ini), Text(section), Text(key), Text("<none>")});
  };
  EXPECT_TRUE(BooleanOf(WriteIniItem, {Text(ini), Text("sz"), Text("color"), Text("16777215")}));
  EXPECT_TRUE(BooleanOf(WriteIniItem, {Text(ini), Text("sz"), Text("save"), MakeInteger(2)}));
  EXPECT_TRUE(BooleanOf(WriteIniItem, {Text(ini), Text("back"), Text("url"), Text("")}));
  EXPECT_EQ(read("sz", "color"), "16777215");
  EXPECT_EQ(read("sz", "save"), "2");
  EXPECT_EQ(read("back", "url"), "") << "an empty value is written, not a deletion";

  EXPECT_FALSE(BooleanOf(WriteIniItem, {Text(ini), Text("sz"), Text(""), Text("v")}))
      << "an empty key must not delete the section";
  EXPECT_EQ(read("sz", "color"), "16777215");

  EXPECT_TRUE(BooleanOf(WriteIniItem, {Text(ini), Text("sz"), Text("save"), Omitted()}));
  EXPECT_EQ(read("sz", "save"), "<none>");
  EXPECT_EQ(read("sz", "color"), "16777215");
  EXPECT_TRUE(BooleanOf(WriteIniItem, {Text(ini), Text("sz")}));
  EXPECT_EQ(read("sz", "color"), "<none>");
  EXPECT_EQ(read("back", "url"), "");

  EXPECT_FALSE(BooleanOf(WriteIniItem, {Text(""), Text("sz"), Text("k"), Text("v")}));
  EXPECT_FALSE(BooleanOf(WriteIniItem, {Text(PathOf("missing/dir/x.ini")), Text("sz"), Text("k"), Text("v")}));
}

}  // namespace
}  // namespace quorlin::commands
