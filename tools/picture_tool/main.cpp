// quorlin-picture IN OUT [BACKGROUND]
//
// Decodes the picture file IN with the runtime's decoders and writes what a picture box in
// display mode 0 would show of it (natural size, transparency blended onto BACKGROUND, RRGGBB,
// default FFFFFF) to OUT: a PNG when OUT ends in .png, else a 24-bit BMP. Prints
// "KIND WIDTH HEIGHT". Exit status 0 when written, 1 with "no picture" when nothing decodes,
// 2 for bad arguments, an unreadable IN or an unwritable OUT.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/pictures/pictures.h"
#include "tools/picture_tool/picture_output.h"
#include "tools/picture_tool/picture_render.h"
#include "tools/picture_tool/tool_arguments.h"

namespace {

// Picture files above this are not read (no decoder accepts such a picture anyway).
constexpr std::streamoff kMaxInputBytes = std::streamoff{1} << 30;

int Fail(const std::string& message) {
  std::fprintf(stderr, "quorlin-picture: %s\n", message.c_str());
  return 2;
}

bool ReadWhole(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return false;
  const std::streamoff size = file.tellg();
  if (size < 0 || size > kMaxInputBytes) return false;
  bytes.resize(static_cast<size_t>(size));
  file.seekg(0);
  return static_cast<bool>(file.read(reinterpret_cast<char*>(bytes.data()), size));
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quorlin;
  std::string error;
  const auto arguments = picture_tool::ParseToolArguments(argc - 1, argv + 1, &error);
  if (!arguments) {
    std::fprintf(stderr, "usage: quorlin-picture IN OUT [BACKGROUND]\n");
    return Fail(error);
  }
  std::vector<uint8_t> bytes;
  if (!ReadWhole(arguments->input, bytes)) return Fail("cannot read " + arguments->input);
  const auto picture = pictures::DecodePicture(bytes.data(), bytes.size());
  if (!picture) {
    std::printf("no picture\n");
    return 1;
  }
  const auto rendered = picture_tool::RenderNaturalSize(*picture, arguments->background);
  if (!rendered) {
    std::printf("no picture\n");
    return 1;
  }
  const bool written = arguments->png ? picture_tool::WritePngFile(arguments->output, *rendered)
                                      : picture_tool::WriteBmpFile(arguments->output, *rendered);
  if (!written) return Fail("cannot write " + arguments->output);
  std::printf("%s %d %d\n", picture_tool::KindName(picture->kind), picture->width, picture->height);
  return 0;
}
