#include "platform/shell/clipboard_conversions.h"

#include <cstring>
#include <limits>

#include "platform/gdi/gdi.h"
#include "platform/shell/global_memory.h"

namespace quorlin::platform {
namespace {

constexpr size_t kFileHeaderSize = 14;

void PutLE(std::vector<BYTE>& out, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + static_cast<size_t>(i)] = static_cast<BYTE>(value >> (8 * i));
}

uint32_t ReadLE32(const BYTE* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// The size of the colour table (or bit masks) that follows a header, in bytes; nothing when
// the header asks for an absurd number of entries.
std::optional<size_t> ColourTableBytes(const BITMAPINFOHEADER& h) {
  if (h.biCompression == BI_BITFIELDS) return h.biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
  size_t entries = h.biClrUsed;
  if (entries == 0 && h.biBitCount <= 8) entries = size_t{1} << h.biBitCount;
  if (h.biBitCount <= 8 && entries > (size_t{1} << h.biBitCount)) return std::nullopt;
  if (h.biBitCount > 8 && entries > 256) return std::nullopt;  // an optimisation palette; bounded
  return entries * 4;
}

struct MemoryDc {
  HDC dc = CreateCompatibleDC(0);
  ~MemoryDc() {
    if (dc) DeleteDC(dc);
  }
};

}  // namespace

std::vector<BYTE> BytesOfGlobal(HGLOBAL memory) {
  const SIZE_T size = GlobalSize(memory);
  std::vector<BYTE> bytes;
  if (size == 0) return bytes;
  const auto* p = static_cast<const BYTE*>(GlobalLock(memory));
  if (!p) return bytes;
  bytes.assign(p, p + size);
  GlobalUnlock(memory);
  return bytes;
}

std::string NarrowTextOfGlobal(HGLOBAL memory) {
  const std::vector<BYTE> bytes = BytesOfGlobal(memory);
  size_t n = 0;
  while (n < bytes.size() && bytes[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(bytes.data()), n);
}

std::u16string WideTextOfGlobal(HGLOBAL memory) {
  const std::vector<BYTE> bytes = BytesOfGlobal(memory);
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

HGLOBAL GlobalFromNarrowText(const std::string& text) { return GlobalFromBytes(text.c_str(), text.size() + 1); }

HGLOBAL GlobalFromWideText(const std::u16string& text) {
  return GlobalFromBytes(text.c_str(), (text.size() + 1) * sizeof(char16_t));
}

std::optional<std::vector<BYTE>> PackedDibOfBitmap(HBITMAP bitmap) {
  BITMAP info{};
  if (GetObjectA(bitmap, sizeof info, &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0) return std::nullopt;
  MemoryDc memory;
  if (!memory.dc) return std::nullopt;
  const size_t stride = (static_cast<size_t>(info.bmWidth) * 3 + 3) & ~size_t{3};
  const size_t imageSize = stride * static_cast<size_t>(info.bmHeight);
  if (imageSize > std::numeric_limits<DWORD>::max() - sizeof(BITMAPINFOHEADER) - kFileHeaderSize) return std::nullopt;
  std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + imageSize);
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  header.bmiHeader.biWidth = info.bmWidth;
  header.bmiHeader.biHeight = info.bmHeight;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 24;
  header.bmiHeader.biCompression = BI_RGB;
  if (GetDIBits(memory.dc, bitmap, 0, static_cast<UINT>(info.bmHeight), dib.data() + sizeof(BITMAPINFOHEADER),
                &header, DIB_RGB_COLORS) != info.bmHeight) {
    return std::nullopt;
  }
  header.bmiHeader.biSizeImage = static_cast<DWORD>(imageSize);
  std::memcpy(dib.data(), &header.bmiHeader, sizeof(BITMAPINFOHEADER));
  return dib;
}

HBITMAP BitmapFromPackedDib(const BYTE* dib, size_t size) {
  if (!dib || size < sizeof(BITMAPINFOHEADER)) return 0;
  const uint32_t headerSize = ReadLE32(dib);
  if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > size) return 0;
  BITMAPINFOHEADER h;
  std::memcpy(&h, dib, sizeof h);
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min()) return 0;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) return 0;
  switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return 0;
  }
  const auto table = ColourTableBytes(h);
  if (!table) return 0;
  const uint64_t stride = ((uint64_t{static_cast<uint32_t>(h.biWidth)} * h.biBitCount + 31) / 32) * 4;
  const uint64_t rows = static_cast<uint64_t>(h.biHeight < 0 ? -int64_t{h.biHeight} : h.biHeight);
  const uint64_t needed = uint64_t{headerSize} + *table + stride * rows;
  if (rows > 32768 || static_cast<uint64_t>(h.biWidth) > 32768 || needed > size) return 0;
  // The header may be a larger version; the drawing layer reads a 40-byte one and its table.
  std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + *table);
  std::memcpy(info.data(), &h, sizeof h);
  reinterpret_cast<BITMAPINFOHEADER*>(info.data())->biSize = sizeof(BITMAPINFOHEADER);
  std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), dib + headerSize, *table);
  // No device context: a colour device bitmap (a memory DC would make a monochrome one).
  return CreateDIBitmap(0, &h, CBM_INIT, dib + headerSize + *table,
                        reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
}

std::vector<BYTE> BmpFileOfPackedDib(const std::vector<BYTE>& dib) {
  std::vector<BYTE> file(kFileHeaderSize + dib.size());
  file[0] = 'B';
  file[1] = 'M';
  PutLE(file, 2, static_cast<uint32_t>(file.size()), 4);
  std::optional<size_t> table;
  if (dib.size() >= sizeof(BITMAPINFOHEADER)) {
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib.data(), sizeof h);
    table = ColourTableBytes(h);
  }
  const uint32_t headerSize = dib.size() >= 4 ? ReadLE32(dib.data()) : 0;
  PutLE(file, 10, static_cast<uint32_t>(kFileHeaderSize + headerSize + table.value_or(0)), 4);
  std::memcpy(file.data() + kFileHeaderSize, dib.data(), dib.size());
  return file;
}

}  // namespace quorlin::platform
