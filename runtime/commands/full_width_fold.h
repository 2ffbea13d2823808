// Folding of the GBK full-width block onto its one-byte forms: the full-width row 0xA3 0xA1 ..
// 0xA3 0xFE becomes '!' .. '~', the full-width dollar (0xA1 0xE7) and tilde (0xA1 0xAB)
// become '$' and '~', the full-width space (0xA1 0xA1) becomes ' '. Other characters, single
// or double-byte, are kept; the text is walked by characters.
#pragma once

#include <string>
#include <string_view>

namespace quorlin::commands::detail {

// The half-width byte for the double-byte character (lead, trail), or 0 when it has none.
char HalfWidthOf(unsigned char lead, unsigned char trail);

std::string FoldFullWidth(std::string_view text);

}  // namespace quorlin::commands::detail
