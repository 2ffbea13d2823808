// The fixture of the card end-to-end tests — the program in a fresh folder and the demo profile
// service with one member — and the ways they look at the pictures the program takes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/card_program.h"

namespace quorlin::testing {

inline constexpr uint32_t kWhite = 0xFFFFFF;
// The member the demo service knows.
inline constexpr const char* kMember = "e2emember";
// "黑体" as the ini file holds it.
inline const std::string kHeiTiGbk = "\xBA\xDA\xCC\xE5";

// Types the ID into 编辑框1, runs `beforeClick`, presses 按钮1 and takes card.bmp of 画板2.
std::string CardScript(const std::string& id, const std::string& beforeClick = "");

bool IsLight(uint32_t rgb);
// Light pixels in the rectangle [left, right) × [top, bottom).
int LightPixels(const BmpPicture& picture, int left, int top, int right, int bottom);
// The leftmost light pixel of those rows, or -1.
int LeftmostLight(const BmpPicture& picture, int top, int bottom);
bool Contains(const std::string& text, const std::string& part);
std::vector<std::filesystem::path> FilesEndingIn(const std::filesystem::path& root, const std::string& ending);

class CardEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override;

  ChildResult Run(const std::string& script) const { return program_.Run(script, service_.HostAndPort()); }
  BmpPicture Shot(const std::string& name = "card.bmp") const { return ReadBmp(program_.ReadFile(name)); }
  std::vector<std::string> Ini() const { return IniItems(program_.ReadFile("quorlin.ini")); }

  static void ExpectCleanEnd(const ChildResult& result);

  CardProgram program_;
  ProfileService service_{program_.Root(), {std::string(kMember) + "\te2e.card\t3"}};
};

}  // namespace quorlin::testing
