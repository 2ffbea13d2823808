#include "tools/card_tool/progress_bar.h"

namespace quorlin::card_tool {
namespace {

constexpr size_t kBarWidth = 30;

}  // namespace

std::string ProgressLine(size_t done, size_t total, size_t width) {
  const size_t filled = total == 0 ? width : (done > total ? total : done) * width / total;
  std::string line = "[";
  line.append(filled, '#');
  line.append(width - filled, ' ');
  line += "] " + std::to_string(done) + "/" + std::to_string(total);
  return line;
}

void ProgressBar::Show(size_t done) {
  if (!enabled_) return;
  std::fprintf(stream_, "\r%s", ProgressLine(done, total_, kBarWidth).c_str());
  std::fflush(stream_);
  shown_ = true;
}

void ProgressBar::Hide() {
  if (!shown_) return;
  std::fputs("\r\033[K", stream_);  // back to the line's start, and clear it
  std::fflush(stream_);
  shown_ = false;
}

}  // namespace quorlin::card_tool
