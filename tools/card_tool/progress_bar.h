// A progress bar on one terminal line: redrawn in place, taken away before another line is
// written to the same stream and drawn again after it.
#pragma once

#include <cstdio>
#include <string>

namespace quorlin::card_tool {

// "[#####               ] 25/100" with `width` marks between the brackets.
std::string ProgressLine(size_t done, size_t total, size_t width);

class ProgressBar {
 public:
  // Draws nothing when not enabled.
  ProgressBar(std::FILE* stream, size_t total, bool enabled) : stream_(stream), total_(total), enabled_(enabled) {}
  ~ProgressBar() { Hide(); }

  void Show(size_t done);
  // Clears the line; the next Show draws it again.
  void Hide();

 private:
  std::FILE* stream_;
  size_t total_;
  bool enabled_;
  bool shown_ = false;
};

}  // namespace quorlin::card_tool
