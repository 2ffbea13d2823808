#include "runtime/commands/full_width_fold.h"

#include "runtime/commands/double_byte_walk.h"

namespace quorlin::commands::detail {

char HalfWidthOf(unsigned char lead, unsigned char trail) {
  if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return static_cast<char>(trail - 0xA1 + 0x21);
  if (lead == 0xA1) {
    switch (trail) {
      case 0xA1: return ' ';
      case 0xAB: return '~';
      case 0xE7: return '$';
      default: break;
    }
  }
  return 0;
}

std::string FoldFullWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t width = CharWidthAt(text, i);
    const char half = width == 2 ? HalfWidthOf(static_cast<unsigned char>(text[i]),
                                               static_cast<unsigned char>(text[i + 1]))
                                 : 0;
    if (half != 0) {
      out.push_back(half);
    } else {
      out.append(text.substr(i, width));
    }
    i += width;
  }
  return out;
}

}  // namespace quorlin::commands::detail
