#include "platform/base/private_profile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/last_error.h"

namespace {

namespace fs = std::filesystem;

class PrivateProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quorlin-ini-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    native_ = root_ + "/quorlin.ini";
    name_ = root_ + "\\quorlin.ini";  // as the program builds it
  }
  void TearDown() override { fs::remove_all(root_); }

  void Put(const std::string& bytes) const { std::ofstream(native_, std::ios::binary) << bytes; }
  std::optional<std::string> Get() const {
    if (!fs::exists(native_)) return std::nullopt;
    std::ifstream in(native_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string Read(const char* section, const char* key, const char* fallback = "<default>") const {
    std::vector<char> buffer(10240);
    const DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer.data(), 10240, name_.c_str());
    return std::string(buffer.data(), n);
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root_)) names.push_back(entry.path().filename().string());
    return names;
  }

  std::string root_, native_, name_;
};

TEST_F(PrivateProfile, ReadRules) {
  Put("; settings\r\n"
      "[sz]\r\n"
      "  Set = 1  \r\n"
      "empty=\r\n"
      "quoted=\"  spaced  \"\r\n"
      "single='x'\r\n"
      "mismatch=\"x'\r\n"
      ";save=9\r\n"
      "path=C:\\a b\\c.jpg\r\n"
      "[ Font ]\n"
      "name=\xBA\xDA\xCC\xE5\n"
      "[\x81\x41]\r\n"
      "k=upper\r\n"
      "[sz]\r\n"
      "late=second section of the name\r\n"
      "[end]\r\n"
      "last=no line end");
  struct Row { const char* section; const char* key; const char* fallback; std::string expected; };
  const Row rows[] = {
      {"sz", "set", "d", "1"},
      {"SZ", "SET", "d", "1"},
      {" sz ", "\tset ", "d", "1"},
      {"sz", "empty", "d", ""},  // present but empty: not the default
      {"sz", "quoted", "d", "  spaced  "},
      {"sz", "single", "d", "x"},
      {"sz", "mismatch", "d", "\"x'"},
      {"sz", "save", "d", "d"},  // commented out
      {"sz", "path", "d", "C:\\a b\\c.jpg"},
      {"font", "name", "d", "\xBA\xDA\xCC\xE5"},
      {"\x81\x41", "k", "d", "upper"},
      {"\x81\x61", "k", "d", "d"},  // a trail byte is not a letter to fold
      {"sz", "late", "d", "d"},     // only the first section of a name is read
      {"end", "last", "d", "no line end"},
      {"sz", "missing", "dflt  ", "dflt"},  // trailing spaces of the default go
      {"sz", "missing", nullptr, ""},
      {"nosuch", "set", "d", "d"},
  };
  for (const Row& row : rows) EXPECT_EQ(Read(row.section, row.key, row.fallback), row.expected) << row.section << "/" << row.key;

  Put("\xEF\xBB\xBF[sz]\r\nset=2\r\n");  // saved by an editor that marks UTF-8
  EXPECT_EQ(Read("sz", "set"), "2");
  // Anywhere but before the file's first line the mark is part of the text, for the key
  // look-up and the key list alike.
  Put("[sz]\r\n\xEF\xBB\xBFset=2\r\nsave=1\r\n");
  EXPECT_EQ(Read("sz", "set", "d"), "d");
  EXPECT_EQ(Read("sz", "\xEF\xBB\xBFset", "d"), "2");
  char keys[64] = {};
  const DWORD listed = GetPrivateProfileStringA("sz", nullptr, "", keys, sizeof keys, name_.c_str());
  EXPECT_EQ(std::string(keys, listed), std::string("\xEF\xBB\xBFset\0save\0", 12));
  fs::remove(native_);
  EXPECT_EQ(Read("sz", "set", "fallback"), "fallback");
  EXPECT_EQ(GetPrivateProfileIntA("sz", "set", 7, name_.c_str()), 7u);
}

TEST_F(PrivateProfile, BufferSizeRules) {
  Put("[a]\r\nvalue=abcdef\r\nyy=1\r\n[bb]\r\n");
  struct Row { const char* section; const char* key; DWORD size; std::string bytes; DWORD result; };
  const Row rows[] = {
      {"a", "value", 7, std::string("abcdef\0", 7), 6},
      {"a", "value", 4, std::string("abc\0", 4), 3},
      {"a", "value", 1, std::string("\0", 1), 0},
      {"a", "missing", 3, std::string("<d\0", 3), 2},  // the default is cut the same way
      {nullptr, nullptr, 6, std::string("a\0bb\0\0", 6), 5},
      {nullptr, nullptr, 5, std::string("a\0b\0\0", 5), 3},  // cut: size - 2 bytes and two NULs
      {"a", nullptr, 10, std::string("value\0yy\0\0", 10), 9},
      {"a", nullptr, 4, std::string("va\0\0", 4), 2},
      {"bb", nullptr, 4, std::string("\0\0", 2), 0},
      {"nosuch", nullptr, 4, std::string("\0\0", 2), 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << (row.section ? row.section : "(null)") << "/" << (row.key ? row.key : "(null)")
                                    << " size " << row.size);
    std::string buffer(row.size, '#');
    EXPECT_EQ(GetPrivateProfileStringA(row.section, row.key, "<default>", buffer.data(), row.size, name_.c_str()), row.result);
    EXPECT_EQ(buffer.substr(0, row.bytes.size()), row.bytes);
  }
  char untouched = '#';
  EXPECT_EQ(GetPrivateProfileStringA("a", "value", "d", &untouched, 0, name_.c_str()), 0u);
  EXPECT_EQ(untouched, '#');
}

TEST_F(PrivateProfile, WritesChangeOnlyTheirLine) {
  const std::string settings = "; top\r\n[sz]\r\nset=0\r\n\r\n[font]\nname=a\n";
  struct Row {
    const char* what;
    std::optional<std::string> before;
    const char* section;
    const char* key;
    const char* value;
    std::optional<std::string> after;
  };
  const Row rows[] = {
      {"creates the file", std::nullopt, "sz", "set", "1", "[sz]\r\nset=1\r\n"},
      {"replaces a value, keeps the key's spelling and the other lines", settings, "SZ", "SET", "1",
       "; top\r\n[sz]\r\nset=1\r\n\r\n[font]\nname=a\n"},
      {"adds a key after the section's last line", settings, "sz", "save", "2",
       "; top\r\n[sz]\r\nset=0\r\nsave=2\r\n\r\n[font]\nname=a\n"},
      {"adds a section to a file without a final line end", "[font]\nname=a", "back", "url", "",
       "[font]\nname=a\r\n[back]\r\nurl=\r\n"},
      {"adds a key to a last line without a line end", "[font]\nname=a", "font", "size", "9",
       "[font]\nname=a\r\nsize=9\r\n"},
      {"keeps GBK bytes", std::nullopt, "font", "name", "\xBA\xDA\xCC\xE5", "[font]\r\nname=\xBA\xDA\xCC\xE5\r\n"},
      {"deletes every section of the name", "[a]\r\nx=1\r\n;c\r\n[b]\r\ny=2\r\n[A]\r\nz=3\r\n", "a", nullptr, nullptr,
       "[b]\r\ny=2\r\n"},
      {"deletes a key", "[a]\r\nx=1\r\ny=2\r\nX=3\r\n[b]\r\nx=4\r\n", "a", "x", nullptr, "[a]\r\ny=2\r\n[b]\r\nx=4\r\n"},
      {"deleting from no file creates none", std::nullopt, "a", "x", nullptr, std::nullopt},
      {"deleting a section of no file creates none", std::nullopt, "a", nullptr, nullptr, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove(native_);
    if (row.before) Put(*row.before);
    EXPECT_TRUE(WritePrivateProfileStringA(row.section, row.key, row.value, name_.c_str()));
    EXPECT_EQ(Get(), row.after);
  }
  fs::remove(native_);
  EXPECT_TRUE(WritePrivateProfileStringA("sz", "color", "16777215", name_.c_str()));
  EXPECT_EQ(Read("sz", "color"), "16777215");
  EXPECT_EQ(Entries(), std::vector<std::string>{"quorlin.ini"});  // no temporary file left behind
}

TEST_F(PrivateProfile, WritesThatWouldBreakTheFileAreRefused) {
  Put("[sz]\r\nset=1\r\n");
  struct Row { const char* section; const char* key; const char* value; };
  const Row rows[] = {
      {"sz", "set", "1\r\n[evil]\r\nk=v"}, {"sz", "a=b", "1"}, {"s]z", "k", "1"},
      {"sz", ";k", "1"}, {"sz", "[k", "1"}, {"s\nz", "k", "1"}, {nullptr, "k", "1"},
  };
  for (const Row& row : rows) {
    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileStringA(row.section, row.key, row.value, name_.c_str())) << row.key;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  EXPECT_EQ(Get(), "[sz]\r\nset=1\r\n");
}

TEST_F(PrivateProfile, AFailingWriteLeavesTheOldFile) {
  const std::string before = "[sz]\r\nset=1\r\n; keep me\r\n";
  Put(before);
  // Let the file system refuse more than 64 bytes per file, as a full disk would.
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &old);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 64;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const BOOL written = WritePrivateProfileStringA("sz", "touxiangurl", std::string(200, 'p').c_str(), name_.c_str());
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::sigaction(SIGXFSZ, &old, nullptr);

  EXPECT_FALSE(written);
  EXPECT_EQ(Get(), before);
  EXPECT_EQ(Entries(), std::vector<std::string>{"quorlin.ini"});

  SetLastError(0);
  EXPECT_FALSE(WritePrivateProfileStringA("sz", "k", "v", (root_ + "\\missing\\quorlin.ini").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(WritePrivateProfileStringA("sz", "k", "v", root_.c_str()));  // a directory
}

TEST_F(PrivateProfile, ReplacementKeepsModeAndLinks) {
  Put("[sz]\r\n");
  ::chmod(native_.c_str(), 0640);
  EXPECT_TRUE(WritePrivateProfileStringA("sz", "set", "1", name_.c_str()));
  struct stat st;
  ASSERT_EQ(::stat(native_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  const std::string link = root_ + "/link.ini";
  fs::create_symlink(native_, link);
  EXPECT_TRUE(WritePrivateProfileStringA("sz", "save", "2", link.c_str()));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Get(), "[sz]\r\nset=1\r\nsave=2\r\n");
}

TEST_F(PrivateProfile, AbsurdlyLargeFilesAreNotLoaded) {
  Put("[sz]\r\nset=1\r\n");
  fs::resize_file(native_, quorlin::platform::kMaxProfileFileSize + 1);
  EXPECT_EQ(Read("sz", "set", "fallback"), "fallback");
  EXPECT_FALSE(WritePrivateProfileStringA("sz", "set", "0", name_.c_str()));
  EXPECT_EQ(fs::file_size(native_), quorlin::platform::kMaxProfileFileSize + 1);
}

TEST_F(PrivateProfile, IntegerValues) {
  Put("[n]\r\na=12\r\nb= 0x1F \r\nc=-5\r\nd=7abc\r\ne=abc\r\nf=\r\ng=+3\r\n");
  struct Row { const char* key; UINT expected; };
  const Row rows[] = {{"a", 12}, {"b", 31}, {"c", 0}, {"d", 7}, {"e", 0}, {"f", 99}, {"g", 3}, {"missing", 99}};
  for (const Row& row : rows) EXPECT_EQ(GetPrivateProfileIntA("n", row.key, 99, name_.c_str()), row.expected) << row.key;
}

TEST_F(PrivateProfile, ConcurrentWritersLoseNothing) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([this, t] {
      for (int i = 0; i < 6; ++i) {
        const std::string key = "k" + std::to_string(t) + "_" + std::to_string(i);
        WritePrivateProfileStringA("sz", key.c_str(), key.c_str(), name_.c_str());
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < 6; ++i) {
      const std::string key = "k" + std::to_string(t) + "_" + std::to_string(i);
      EXPECT_EQ(Read("sz", key.c_str()), key);
    }
  }
}

}  // namespace
