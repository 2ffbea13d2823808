// The bytes the desktop's clipboard exchange reads: "HTML Format" headers and packed DIBs of
// any shape. Nothing is read outside the input; what a header gives back lies inside it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/display/desktop/exchange_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<BYTE> bytes(data, data + size);
  const std::string html = quorlin::platform::HtmlOfHtmlFormat(bytes);
  if (html.size() > size) std::abort();
  if (const auto file = quorlin::platform::BmpFileOfDib(bytes)) {
    if (file->size() != size + 14) std::abort();
    const auto dib = quorlin::platform::DibOfBmpFile(*file);
    if (!dib || *dib != bytes) std::abort();
  }
  // What we write, we read back.
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (text.find('\0') == std::string::npos && text.find("<!--") == std::string::npos &&
      quorlin::platform::HtmlOfHtmlFormat(quorlin::platform::HtmlFormatOf(text)) != text) {
    std::abort();
  }
  return 0;
}
