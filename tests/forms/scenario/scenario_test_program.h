// A small program for the player's tests: one top-level window "测试窗口" of plain test windows
// and a fake ScenarioHost over it. What the units do shows in the STATIC 标签1:
//   按钮1  appends "clicked"
//   按钮2  shows a yes/no message box "标题" and appends "answer N"
//   按钮3  shows an open-file dialog (filter 图片 *.jpg;*.png, initial a.jpg) and appends
//          "chose PATH" or "cancelled"
//   按钮4  puts a 3 × 2 bitmap of PanelColour on the clipboard
//   画板1  a solid PanelColour panel and a drop target appending "dropped PATH;PATH…"
// 编辑框1 is an EDIT, 编辑框2 a hidden one, 对话框1 a unit without a window. A script runs in a
// child process that ends as the program would.
#pragma once

#include <filesystem>
#include <string>

#include "platform/base/win_types.h"
#include "tests/support/child_process.h"

namespace quorlin::testing {

// Where the test window and 画板1 sit on the screen, and 画板1's colour.
inline constexpr RECT TestWindowRect{100, 80, 500, 380};
inline constexpr POINT PanelOrigin{20, 140};  // in the window's client area
inline constexpr SIZE PanelSize{40, 30};
inline constexpr COLORREF PanelColour = 0x001EC80A;  // RGB(10, 200, 30)

// A fresh temporary folder, removed with the object.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes the script to scenario.txt in `folder` and plays it on the test program in a child.
ChildResult RunTestScenario(const std::filesystem::path& folder, const std::string& script);

}  // namespace quorlin::testing
