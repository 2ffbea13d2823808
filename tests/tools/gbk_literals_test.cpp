// The literal rewriter of clang builds: which literals it rewrites, into which bytes, and what
// it leaves alone.
#include <gtest/gtest.h>

#include <string>

#include "tools/gbk_literals/gbk_literals.h"

namespace quorlin::tools {
namespace {

std::string Rewritten(const std::string& source) {
  std::string error;
  const std::optional<std::string> out = RewriteLiteralsAsGbk(source, &error);
  EXPECT_TRUE(out.has_value()) << error;
  return out.value_or("");
}

TEST(GbkLiterals, OrdinaryLiteralsBecomeGbkEscapes) {
  // 吧龄 is B0 C9 C1 E4 in GBK.
  EXPECT_EQ(Rewritten("const char a[] = \"吧龄: \";"), "const char a[] = \"\\xB0\\xC9\\xC1\\xE4: \";");
  // A hex digit after the escapes would join the last one: the literal is split there.
  EXPECT_EQ(Rewritten("\"年a1\""), "\"\\xC4\\xEA\" \"a1\"");
  EXPECT_EQ(Rewritten("\"年 a\""), "\"\\xC4\\xEA a\"");
  // Escapes of the source stay as they are.
  EXPECT_EQ(Rewritten("\"\\\"年\\n\\x41年\""), "\"\\\"\\xC4\\xEA\\n\\x41\\xC4\\xEA\"");
  EXPECT_EQ(Rewritten("f(\"年\", \"ok\")"), "f(\"\\xC4\\xEA\", \"ok\")");
}

TEST(GbkLiterals, EverythingElseIsCopied) {
  const std::string untouched[] = {
      "// 注释 \"年\"\nint x;",
      "/* \"年\" */ int y;",
      "auto a = u8\"年\"; auto b = u\"年\"; auto c = U\"年\"; auto d = L\"年\";",
      "int n = 1'000'000; char c = 'x'; const char* s = \"plain\";",
      "auto r = R\"x(a \"quoted\" )\" b)x\";",
      "#include \"runtime/kernel/blocks.h\"\n",
  };
  for (const std::string& source : untouched) EXPECT_EQ(Rewritten(source), source);
}

TEST(GbkLiterals, WhatCannotBeGbkIsRefused) {
  const char* refused[] = {
      "\"😀\"",           // no GBK form
      "'年'",              // a character literal of several bytes
      "R\"(年)\"",         // a raw literal cannot hold escapes
      "\"年",              // never ends
  };
  for (const char* source : refused) {
    std::string error;
    EXPECT_FALSE(RewriteLiteralsAsGbk(source, &error).has_value()) << source;
    EXPECT_FALSE(error.empty()) << source;
  }
}

}  // namespace
}  // namespace quorlin::tools
