#include "platform/base/file_api.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/last_error.h"

namespace {

namespace fs = std::filesystem;

class FileApi : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quorlin-files-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  // The platform form of a name in the test directory, with '\' separators.
  std::string Name(const std::string& relative) const {
    std::string name = root_ + "\\" + relative;
    for (char& c : name) {
      if (c == '/') c = '\\';
    }
    return name;
  }
  std::string Native(const std::string& relative) const { return root_ + "/" + relative; }
  void Put(const std::string& relative, const std::string& bytes) const {
    std::ofstream(Native(relative), std::ios::binary) << bytes;
  }
  std::string Get(const std::string& relative) const {
    std::ifstream in(Native(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::string root_;
};

TEST_F(FileApi, CreationDispositions) {
  struct Row { DWORD disposition; bool exists; bool opens; DWORD error; std::string contentAfter; };
  const Row rows[] = {
      {CREATE_NEW, false, true, ERROR_SUCCESS, ""},
      {CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old"},
      {CREATE_ALWAYS, false, true, ERROR_SUCCESS, ""},
      {CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
      {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, "<none>"},
      {OPEN_EXISTING, true, true, ERROR_SUCCESS, "old"},
      {OPEN_ALWAYS, false, true, ERROR_SUCCESS, ""},
      {OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "old"},
      {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, "<none>"},
      {TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, ""},
      {9, true, false, ERROR_INVALID_PARAMETER, "old"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "disposition " << row.disposition << (row.exists ? " existing" : " missing"));
    fs::remove(Native("f"));
    if (row.exists) Put("f", "old");
    SetLastError(0xDEAD);
    const HANDLE file = CreateFileA(Name("f").c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    row.disposition, FILE_ATTRIBUTE_NORMAL, 0);
    EXPECT_EQ(GetLastError(), row.error);
    EXPECT_EQ(file != INVALID_HANDLE_VALUE, row.opens);
    if (file != INVALID_HANDLE_VALUE) {
      EXPECT_TRUE(CloseHandle(file));
    }
    EXPECT_EQ(fs::exists(Native("f")) ? Get("f") : "<none>", row.contentAfter);
  }

  struct Failure { std::string name; DWORD access; DWORD flags; DWORD error; };
  fs::create_directory(Native("dir"));
  const Failure failures[] = {
      {Name("missing\\f"), GENERIC_WRITE, 0, ERROR_PATH_NOT_FOUND},
      {Name("dir"), GENERIC_READ, 0, ERROR_ACCESS_DENIED},
      {Name("dir"), GENERIC_WRITE, 0, ERROR_ACCESS_DENIED},
      {"", GENERIC_READ, 0, ERROR_PATH_NOT_FOUND},
  };
  for (const Failure& failure : failures) {
    SetLastError(0);
    EXPECT_EQ(CreateFileA(failure.name.c_str(), failure.access, 0, nullptr, OPEN_EXISTING, failure.flags, 0),
              INVALID_HANDLE_VALUE) << failure.name;
    EXPECT_EQ(GetLastError(), failure.error) << failure.name;
  }
  const HANDLE directory = CreateFileA(Name("dir").c_str(), 0, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, 0);
  EXPECT_NE(directory, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(directory));
}

TEST_F(FileApi, ReadWriteSeekAndTruncate) {
  const HANDLE file = CreateFileA(Name("data.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, 0);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  std::string big(3 << 20, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31);
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(file, big.data(), static_cast<DWORD>(big.size()), &done, nullptr));
  EXPECT_EQ(done, big.size());
  EXPECT_EQ(GetFileSize(file, nullptr), big.size());
  LARGE_INTEGER size{};
  EXPECT_TRUE(GetFileSizeEx(file, &size));
  EXPECT_EQ(size.QuadPart, static_cast<LONGLONG>(big.size()));

  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), 0u);
  std::string back(big.size(), 'x');
  EXPECT_TRUE(ReadFile(file, back.data(), static_cast<DWORD>(back.size()), &done, nullptr));
  EXPECT_EQ(done, big.size());
  EXPECT_TRUE(back == big);
  EXPECT_TRUE(ReadFile(file, back.data(), 10, &done, nullptr));  // at the end: success, nothing read
  EXPECT_EQ(done, 0u);

  EXPECT_EQ(SetFilePointer(file, -10, nullptr, FILE_END), big.size() - 10);
  EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_CURRENT), big.size() - 6);
  SetLastError(0);
  EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  LONG high = 1;  // 4 GiB + 5: the position needs the high part
  EXPECT_EQ(SetFilePointer(file, 5, &high, FILE_BEGIN), 5u);
  EXPECT_EQ(high, 1);
  LARGE_INTEGER distance{}, position{};
  distance.QuadPart = 100;
  EXPECT_TRUE(SetFilePointerEx(file, distance, &position, FILE_BEGIN));
  EXPECT_EQ(position.QuadPart, 100);
  EXPECT_TRUE(SetEndOfFile(file));
  EXPECT_EQ(GetFileSize(file, nullptr), 100u);
  EXPECT_TRUE(FlushFileBuffers(file));

  // A read or write at an explicit offset.
  OVERLAPPED at{};
  at.Offset = 10;
  char four[4];
  EXPECT_TRUE(ReadFile(file, four, 4, &done, &at));
  EXPECT_EQ(std::string(four, 4), big.substr(10, 4));
  at.Offset = 1000;
  SetLastError(0);
  EXPECT_FALSE(ReadFile(file, four, 4, &done, &at));
  EXPECT_EQ(GetLastError(), ERROR_HANDLE_EOF);
  EXPECT_TRUE(CloseHandle(file));

  // Rights follow the access asked for.
  const HANDLE readOnly = CreateFileA(Name("data.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0);
  SetLastError(0);
  EXPECT_FALSE(WriteFile(readOnly, "x", 1, &done, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(SetEndOfFile(readOnly));
  EXPECT_TRUE(CloseHandle(readOnly));
}

TEST_F(FileApi, ReadsCarryOnThroughShortTransfers) {
  // A pipe hands the bytes over in pieces; one ReadFile must still return them all.
  ASSERT_EQ(::mkfifo(Native("pipe").c_str(), 0600), 0);
  const HANDLE reader = CreateFileA(Name("pipe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);  // opening does not wait for a writer
  std::promise<void> writerOpen;
  std::thread writer([this, &writerOpen] {
    std::ofstream out(Native("pipe"), std::ios::binary);
    writerOpen.set_value();
    for (int i = 0; i < 50; ++i) {
      out << std::string(1000, static_cast<char>('a' + i % 26)) << std::flush;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  writerOpen.get_future().wait();  // before that, the pipe reads as ended
  std::string got(50000, '\0');
  DWORD done = 0;
  EXPECT_TRUE(ReadFile(reader, got.data(), static_cast<DWORD>(got.size()), &done, nullptr));
  writer.join();
  EXPECT_EQ(done, got.size());
  EXPECT_EQ(got.substr(49000, 3), "xxx");
  EXPECT_TRUE(CloseHandle(reader));
}

TEST_F(FileApi, CloseHandleGoesByTheHandlesKind) {
  const HANDLE file = CreateFileA(Name("c").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, 0);
  EXPECT_TRUE(CloseHandle(file));
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  DWORD done = 0;
  EXPECT_FALSE(WriteFile(file, "x", 1, &done, nullptr));

  WIN32_FIND_DATAA data;
  const HANDLE search = FindFirstFileA(Name("*").c_str(), &data);
  EXPECT_FALSE(CloseHandle(search));  // a search ends with FindClose only
  EXPECT_TRUE(FindClose(search));

  static HANDLE hooked = 0;
  using quorlin::platform::HandleKind;
  struct Event : quorlin::platform::HandleObject {};
  quorlin::platform::RegisterCloseHandleKind(HandleKind::Event, [](HANDLE h) { hooked = h; return true; });
  const HANDLE event = quorlin::platform::RegisterHandle(HandleKind::Event, std::make_shared<Event>());
  EXPECT_TRUE(CloseHandle(event));
  EXPECT_EQ(hooked, event);
  EXPECT_FALSE(quorlin::platform::HandleKindOf(event).has_value());
}

TEST_F(FileApi, DeleteMoveAttributesAndDirectories) {
  Put("a", "A");
  Put("b", "B");
  fs::create_directory(Native("d"));
  EXPECT_EQ(GetFileAttributesA(Name("a").c_str()), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributesA(Name("d").c_str()), FILE_ATTRIBUTE_DIRECTORY);
  ::chmod(Native("b").c_str(), 0444);
  EXPECT_EQ(GetFileAttributesA(Name("b").c_str()), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
  ::chmod(Native("b").c_str(), 0644);

  SetLastError(0);
  EXPECT_FALSE(MoveFileExA(Name("a").c_str(), Name("b").c_str(), 0));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(Get("b"), "B");
  EXPECT_TRUE(MoveFileExA(Name("a").c_str(), Name("b").c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(Get("b"), "A");
  EXPECT_FALSE(fs::exists(Native("a")));
  EXPECT_TRUE(MoveFileExA(Name("b").c_str(), Name("d\\c").c_str(), 0));
  EXPECT_EQ(Get("d/c"), "A");

  EXPECT_TRUE(CreateDirectoryA(Name("e").c_str(), nullptr));
  struct Row { std::function<bool()> call; DWORD error; const char* what; };
  const Row failures[] = {
      {[&] { return CreateDirectoryA(Name("e").c_str(), nullptr) != 0; }, ERROR_ALREADY_EXISTS, "directory exists"},
      {[&] { return CreateDirectoryA(Name("x\\y").c_str(), nullptr) != 0; }, ERROR_PATH_NOT_FOUND, "no parent"},
      {[&] { return DeleteFileA(Name("a").c_str()) != 0; }, ERROR_FILE_NOT_FOUND, "delete missing file"},
      {[&] { return DeleteFileA(Name("x\\a").c_str()) != 0; }, ERROR_PATH_NOT_FOUND, "delete in missing directory"},
      {[&] { return DeleteFileA(Name("d").c_str()) != 0; }, ERROR_ACCESS_DENIED, "delete a directory"},
      {[&] { return GetFileAttributesA(Name("a").c_str()) != INVALID_FILE_ATTRIBUTES; }, ERROR_FILE_NOT_FOUND, "attributes of a missing file"},
      {[&] { return MoveFileExA(Name("a").c_str(), Name("z").c_str(), 0) != 0; }, ERROR_FILE_NOT_FOUND, "move a missing file"},
      {[&] { return MoveFileExA(Name("d\\c").c_str(), Name("e").c_str(), MOVEFILE_REPLACE_EXISTING) != 0; }, ERROR_ACCESS_DENIED, "replace a directory"},
  };
  for (const Row& row : failures) {
    SetLastError(0);
    EXPECT_FALSE(row.call()) << row.what;
    EXPECT_EQ(GetLastError(), row.error) << row.what;
  }
  EXPECT_TRUE(DeleteFileA(Name("d\\c").c_str()));
  EXPECT_FALSE(fs::exists(Native("d/c")));
}

TEST_F(FileApi, FindFilesWithWildcards) {
  for (const char* name : {"a.txt", "B.Txt", "c.jpg", "long.txt", "noext", "\xE5\x90\xA7.txt"}) Put(name, "12345");
  fs::create_directory(Native("sub"));

  const auto find = [this](const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA(Name(pattern).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.emplace_back(data.cFileName); while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(search));
    return names;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(find("*.TXT"), (Names{"a.txt", "B.Txt", "long.txt", "\xB0\xC9.txt"}));
  EXPECT_EQ(find("?.txt"), (Names{"a.txt", "B.Txt", "\xB0\xC9.txt"}));  // a GBK character is one character
  EXPECT_EQ(find("\xB0\xC9.*"), (Names{"\xB0\xC9.txt"}));
  EXPECT_EQ(find("noext.*"), (Names{"noext"}));
  EXPECT_EQ(find("NOEXT"), (Names{"noext"}));
  EXPECT_EQ(find("*.*"), (Names{".", "..", "a.txt", "B.Txt", "c.jpg", "long.txt", "noext", "sub", "\xB0\xC9.txt"}));
  EXPECT_EQ(find("l*g*.t?t"), (Names{"long.txt"}));

  WIN32_FIND_DATAA data;
  const HANDLE search = FindFirstFileA(Name("c.jpg").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.nFileSizeLow, 5u);
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_GT(data.ftLastWriteTime.dwHighDateTime, 0x01D00000u);  // after 2014 in 100 ns since 1601
  EXPECT_TRUE(FindClose(search));
  const HANDLE directory = FindFirstFileA(Name("su?").c_str(), &data);
  ASSERT_NE(directory, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(FindClose(directory));

  SetLastError(0);
  EXPECT_EQ(FindFirstFileA(Name("*.png").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(FindFirstFileA(Name("nodir\\*").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

}  // namespace
