// The reply side of an HTTP exchange: header lines (status lines included) and body chunks as
// libcurl hands them over. The input is cut at '\n'; a piece starting with "B:" is a body chunk,
// any other a header line. Whatever arrives, the header block stays well formed lines of
// "Name: value" ended by CR LF, and status, charset and body keep their bounds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/com/xmlhttp/http_reply_reader.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckHeaderBlock(const std::string& block) {
  size_t start = 0;
  while (start < block.size()) {
    const size_t end = block.find("\r\n", start);
    Check(end != std::string::npos);
    const std::string_view line(block.data() + start, end - start);
    Check(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
    const size_t colon = line.find(": ");
    Check(colon != std::string_view::npos && colon > 0);
    start = end + 2;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using quorlin::platform::HttpReplyReader;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  HttpReplyReader reader;
  bool refused = false;
  while (!input.empty() && !refused) {
    const size_t end = input.find('\n');
    const std::string_view piece = input.substr(0, end == std::string_view::npos ? input.size() : end + 1);
    input.remove_prefix(piece.size());
    if (piece.substr(0, 2) == "B:") {
      refused = !reader.AddBodyBytes(piece.substr(2));
    } else {
      refused = !reader.AddHeaderLine(piece);
    }
  }
  Check(reader.Status() == 0 || (reader.Status() >= 100 && reader.Status() <= 999));
  Check(reader.StatusText().find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
  CheckHeaderBlock(reader.HeaderBlock());
  Check(reader.HeaderBlock().size() <= 2 * HttpReplyReader::kHeaderBytesLimit + 4 * HttpReplyReader::kHeaderLineLimit);
  const std::string charset = reader.Charset();
  for (char c : charset) Check(!(c >= 'A' && c <= 'Z') && c != ';');
  Check(reader.Body().size() <= HttpReplyReader::kBodyLimit);
  (void)reader.HeaderValue("Set-Cookie");
  return 0;
}
