// quorlin-gbk-literals SOURCE OUTPUT: writes SOURCE with its string literals in GBK (see
// gbk_literals.h), with a line directive so that diagnostics name SOURCE.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/gbk_literals/gbk_literals.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: quorlin-gbk-literals SOURCE OUTPUT\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
    return 1;
  }
  const std::string source{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string error;
  const std::optional<std::string> rewritten = quorlin::tools::RewriteLiteralsAsGbk(source, &error);
  if (!rewritten) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << "#line 1 \"" << argv[1] << "\"\n" << *rewritten;
  if (!out.flush()) {
    std::fprintf(stderr, "%s: cannot be written\n", argv[2]);
    return 1;
  }
  return 0;
}
