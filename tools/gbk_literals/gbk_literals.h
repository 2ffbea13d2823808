// Rewrites a C++ source so that its ordinary string literals hold GBK bytes whatever compiler
// reads it: every non-ASCII character inside an ordinary string literal becomes the \x escapes
// of its GBK bytes. Comments, prefixed literals (u8, u, U, L) and everything else are copied
// unchanged. For compilers without a GBK execution character set (clang).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorlin::tools {

// The rewritten source, or nothing with the reason in *error: a character GBK lacks, a
// non-ASCII character in a character literal or a raw string literal, or a literal that does
// not end.
std::optional<std::string> RewriteLiteralsAsGbk(std::string_view source, std::string* error);

}  // namespace quorlin::tools
