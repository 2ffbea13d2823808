#include "tests/e2e/card_fixture.h"

namespace quorlin::testing {

std::string CardScript(const std::string& id, const std::string& beforeClick) {
  return "focus 编辑框1\ntype " + id + "\n" + beforeClick + "click 按钮1\nshot card.bmp 画板2\n";
}

bool IsLight(uint32_t rgb) { return (rgb >> 16 & 0xFF) > 200 && (rgb >> 8 & 0xFF) > 200 && (rgb & 0xFF) > 200; }

int LightPixels(const BmpPicture& picture, int left, int top, int right, int bottom) {
  int count = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) count += IsLight(picture.At(x, y)) ? 1 : 0;
  }
  return count;
}

int LeftmostLight(const BmpPicture& picture, int top, int bottom) {
  for (int x = 0; x < picture.width; ++x) {
    for (int y = top; y < bottom; ++y) {
      if (IsLight(picture.At(x, y))) return x;
    }
  }
  return -1;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::filesystem::path> FilesEndingIn(const std::filesystem::path& root, const std::string& ending) {
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    if (name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
      found.push_back(entry.path());
    }
  }
  return found;
}

void CardEndToEnd::SetUp() { ASSERT_FALSE(service_.HostAndPort().empty()) << "the profile service did not start"; }

void CardEndToEnd::ExpectCleanEnd(const ChildResult& result) {
  ASSERT_TRUE(result.exited) << result.standardOutput << result.standardError;
  EXPECT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
  EXPECT_TRUE(Contains(result.standardOutput, "exit 0\n")) << result.standardOutput;
}

}  // namespace quorlin::testing
