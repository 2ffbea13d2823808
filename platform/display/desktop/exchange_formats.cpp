#include "platform/display/desktop/exchange_formats.h"

#include <cstdio>
#include <cstring>

namespace quorlin::platform {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr std::string_view kStartMark = "<!--StartFragment-->";
constexpr std::string_view kEndMark = "<!--EndFragment-->";

uint32_t ReadLe32(const BYTE* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

uint16_t ReadLe16(const BYTE* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void WriteLe32(BYTE* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

// The byte offset after "Name:" in the header, or -1.
long HeaderOffset(std::string_view header, std::string_view name) {
  const size_t at = header.find(name);
  if (at == std::string_view::npos) return -1;
  long value = 0;
  size_t i = at + name.size();
  if (i >= header.size() || header[i] < '0' || header[i] > '9') return -1;
  for (; i < header.size() && header[i] >= '0' && header[i] <= '9'; ++i) {
    value = value * 10 + (header[i] - '0');
    if (value > 0x7FFFFFFF) return -1;
  }
  return value;
}

}  // namespace

std::vector<BYTE> HtmlFormatOf(std::string_view html) {
  // The offsets have a fixed width, so the header's length is known before they are.
  constexpr const char* kHeader =
      "Version:0.9\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\nStartFragment:%010zu\r\nEndFragment:%010zu\r\n";
  char probe[160];
  const size_t headerSize = static_cast<size_t>(std::snprintf(probe, sizeof probe, kHeader, size_t{0}, size_t{0},
                                                              size_t{0}, size_t{0}));
  std::string body;
  const bool hasMarks = html.find(kStartMark) != std::string_view::npos && html.find(kEndMark) != std::string_view::npos;
  if (hasMarks) {
    body = html;
  } else {
    body = "<html><body>\r\n";
    body += kStartMark;
    body += html;
    body += kEndMark;
    body += "\r\n</body></html>";
  }
  const size_t startFragment = headerSize + body.find(kStartMark) + kStartMark.size();
  const size_t endFragment = headerSize + body.find(kEndMark);
  const size_t endHtml = headerSize + body.size();
  char header[160];
  std::snprintf(header, sizeof header, kHeader, headerSize, endHtml, startFragment, endFragment);
  const std::string whole = std::string(header, headerSize) + body;
  return std::vector<BYTE>(whole.begin(), whole.end());
}

std::string HtmlOfHtmlFormat(const std::vector<BYTE>& bytes) {
  std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (const size_t nul = all.find('\0'); nul != std::string_view::npos) all = all.substr(0, nul);
  const std::string_view header = all.substr(0, std::min<size_t>(all.size(), 400));
  const long start = HeaderOffset(header, "StartFragment:");
  const long end = HeaderOffset(header, "EndFragment:");
  if (start >= 0 && end >= start && static_cast<size_t>(end) <= all.size()) {
    return std::string(all.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
  }
  const long startHtml = HeaderOffset(header, "StartHTML:");
  if (startHtml >= 0 && static_cast<size_t>(startHtml) <= all.size()) return std::string(all.substr(static_cast<size_t>(startHtml)));
  return std::string(all);
}

std::optional<std::vector<BYTE>> BmpFileOfDib(const std::vector<BYTE>& dib) {
  if (dib.size() < 40) return std::nullopt;
  const uint32_t headerSize = ReadLe32(dib.data());
  if (headerSize < 40 || headerSize > dib.size()) return std::nullopt;
  const uint16_t bitCount = ReadLe16(dib.data() + 14);
  const uint32_t compression = ReadLe32(dib.data() + 16);
  uint32_t colours = ReadLe32(dib.data() + 32);
  if (colours == 0 && bitCount <= 8) colours = 1u << bitCount;
  if (colours > 256) return std::nullopt;
  uint64_t bitsOffset = kFileHeaderSize + uint64_t{headerSize} + uint64_t{colours} * 4;
  if (compression == 3 && headerSize == 40) bitsOffset += 12;  // BI_BITFIELDS masks after the header
  if (bitsOffset > kFileHeaderSize + dib.size()) return std::nullopt;
  std::vector<BYTE> file(kFileHeaderSize + dib.size());
  file[0] = 'B';
  file[1] = 'M';
  WriteLe32(file.data() + 2, static_cast<uint32_t>(file.size()));
  WriteLe32(file.data() + 10, static_cast<uint32_t>(bitsOffset));
  std::memcpy(file.data() + kFileHeaderSize, dib.data(), dib.size());
  return file;
}

std::optional<std::vector<BYTE>> DibOfBmpFile(const std::vector<BYTE>& bmp) {
  if (bmp.size() < kFileHeaderSize + 40 || bmp[0] != 'B' || bmp[1] != 'M') return std::nullopt;
  return std::vector<BYTE>(bmp.begin() + kFileHeaderSize, bmp.end());
}

std::string NameFilterOf(const std::pair<std::string, std::string>& filter) {
  std::string patterns;
  for (char c : filter.second) patterns += c == ';' ? ' ' : c;
  const std::string& description = filter.first.empty() ? filter.second : filter.first;
  return description + " (" + patterns + ")";
}

}  // namespace quorlin::platform
