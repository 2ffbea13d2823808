#include "tests/e2e/card_program.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace quorlin::testing {
namespace {

constexpr int kServiceStartSeconds = 20;
constexpr int kProgramSeconds = 60;

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

uint32_t Get32(const std::string& bytes, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
         static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

std::filesystem::path FreshFolder(const char* prefix) {
  std::random_device random;
  const auto path = std::filesystem::temp_directory_path() /
                    (std::string(prefix) + std::to_string(getpid()) + "-" + std::to_string(random()));
  std::filesystem::create_directories(path);
  return path;
}

}  // namespace

ProfileService::ProfileService(const std::filesystem::path& folder, const std::vector<std::string>& memberLines) {
  const std::filesystem::path members = folder / "members.txt";
  {
    std::ofstream out(members, std::ios::binary);
    for (const std::string& line : memberLines) out << line << "\n";
  }
  std::string error;
  service_ = BackgroundProgram::Start(QUORLIN_PROFILE_SERVICE, {"--port", "0", "--members", members.string()},
                                      "listening on ", &error, kServiceStartSeconds);
  if (service_) hostAndPort_ = "127.0.0.1:" + std::to_string(service_->ReadyPort());
}

ProfileService::~ProfileService() = default;

CardProgram::CardProgram() : root_(FreshFolder("quorlin-card-e2e-")), folder_(root_ / "program") {
  std::filesystem::create_directories(folder_);
  std::filesystem::copy_file(QUORLIN_EXECUTABLE, folder_ / "quorlin");
}

CardProgram::~CardProgram() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void CardProgram::WriteFile(const std::string& name, const std::string& bytes) const {
  std::ofstream(PathOf(name), std::ios::binary) << bytes;
}

std::string CardProgram::ReadFile(const std::string& name) const { return ReadWholeFile(PathOf(name)); }

ChildResult CardProgram::Run(const std::string& script, const std::string& serviceHost) const {
  const std::filesystem::path file = folder_ / "scenario.txt";
  std::ofstream(file, std::ios::binary) << script;
  const std::string program = (folder_ / "quorlin").string();
  return RunInChild(
      [&] {
        setenv("QUORLIN_DISPLAY", "headless", 1);
        setenv("QUORLIN_SCENARIO", file.c_str(), 1);
        for (const char* variable : {"QUORLIN_PROFILE_HOST", "QUORLIN_PORTRAIT_HOST"}) {
          if (serviceHost.empty()) {
            unsetenv(variable);
          } else {
            setenv(variable, serviceHost.c_str(), 1);
          }
        }
        execl(program.c_str(), "quorlin", static_cast<char*>(nullptr));
        _exit(127);
      },
      kProgramSeconds);
}

uint32_t BmpPicture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFFu;
  const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
  return static_cast<uint32_t>(rgb[at]) << 16 | static_cast<uint32_t>(rgb[at + 1]) << 8 | rgb[at + 2];
}

BmpPicture ReadBmp(const std::string& bytes) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return {};
  const uint32_t offset = Get32(bytes, 10);
  const auto width = static_cast<int32_t>(Get32(bytes, 18));
  const auto height = static_cast<int32_t>(Get32(bytes, 22));
  const unsigned bits = static_cast<uint8_t>(bytes[28]) | static_cast<uint8_t>(bytes[29]) << 8;
  if (bits != 24 || width <= 0 || height == 0 || width > 10000 || height > 10000 || height < -10000) return {};
  const int rows = height < 0 ? -height : height;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  if (offset > bytes.size() || bytes.size() - offset < stride * static_cast<size_t>(rows)) return {};
  BmpPicture picture;
  picture.width = width;
  picture.height = rows;
  picture.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(rows) * 3);
  for (int y = 0; y < rows; ++y) {
    const int stored = height > 0 ? rows - 1 - y : y;  // bottom-up unless the height is negative
    const size_t from = offset + static_cast<size_t>(stored) * stride;
    for (int x = 0; x < width; ++x) {
      const size_t to = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
      picture.rgb[to] = static_cast<uint8_t>(bytes[from + static_cast<size_t>(x) * 3 + 2]);
      picture.rgb[to + 1] = static_cast<uint8_t>(bytes[from + static_cast<size_t>(x) * 3 + 1]);
      picture.rgb[to + 2] = static_cast<uint8_t>(bytes[from + static_cast<size_t>(x) * 3]);
    }
  }
  return picture;
}

std::string SolidBmp(int width, int height, uint32_t rgb) {
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  const size_t pixelBytes = stride * static_cast<size_t>(height);
  std::string out = "BM";
  Put32(out, static_cast<uint32_t>(54 + pixelBytes));
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  out += std::string("\x01\x00\x18\x00", 4);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      row.push_back(static_cast<char>(rgb & 0xFF));
      row.push_back(static_cast<char>((rgb >> 8) & 0xFF));
      row.push_back(static_cast<char>((rgb >> 16) & 0xFF));
    }
    row.resize(stride, '\0');
    out += row;
  }
  return out;
}

std::vector<std::string> IniItems(const std::string& text) {
  std::vector<std::string> items;
  std::istringstream lines(text);
  std::string line, section;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else {
      items.push_back(section + "/" + line);
    }
  }
  return items;
}

}  // namespace quorlin::testing
