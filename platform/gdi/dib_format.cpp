#include "platform/gdi/dib_format.h"

#include <cstring>

#include "platform/gdi/raster_ops.h"

namespace quorlin::platform::gdi {
namespace {

constexpr BYTE kVga[16][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                              {0, 0, 128},   {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                              {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
                              {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};  // r, g, b

uint32_t PixelOfQuad(const RGBQUAD& q) { return q.rgbBlue | (q.rgbGreen << 8) | (q.rgbRed << 16); }

int Nearest(const std::vector<RGBQUAD>& table, uint32_t p) {
  const int b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
  int best = 0, bestDistance = 1 << 30;
  for (size_t i = 0; i < table.size(); ++i) {
    const int db = b - table[i].rgbBlue, dg = g - table[i].rgbGreen, dr = r - table[i].rgbRed;
    const int d = db * db + dg * dg + dr * dr;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return best;
}

int CubeLevel(int v) { return (v * 5 + 127) / 255; }

}  // namespace

size_t DibStride(int width, int bitCount) { return (static_cast<size_t>(width) * bitCount + 31) / 32 * 4; }

std::optional<DibFormat> ParseDibFormat(const BITMAPINFO* info, UINT usage, const DeviceContext* dc) {
  if (info == nullptr) return std::nullopt;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 1024) return std::nullopt;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN || h.biPlanes != 1) return std::nullopt;
  DibFormat f;
  f.width = h.biWidth;
  f.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  f.topDown = h.biHeight < 0;
  if (f.width > kMaxSurfaceSide || f.height > kMaxSurfaceSide) return std::nullopt;
  f.bitCount = h.biBitCount;
  switch (f.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return std::nullopt;
  }
  if (h.biCompression != BI_RGB) return std::nullopt;
  f.stride = DibStride(f.width, f.bitCount);
  if (f.bitCount <= 8) {
    const uint32_t full = 1u << f.bitCount;
    const uint32_t count = h.biClrUsed != 0 && h.biClrUsed < full ? h.biClrUsed : full;
    const BYTE* table = reinterpret_cast<const BYTE*>(info) + h.biSize;
    f.colors.assign(full, 0);
    for (uint32_t i = 0; i < count; ++i) {
      if (usage == DIB_PAL_COLORS) {
        WORD index;
        std::memcpy(&index, table + 2 * i, 2);
        const auto* palette = dc ? dc->state.palette.get() : nullptr;
        if (palette && index < palette->entries.size()) {
          const PALETTEENTRY& e = palette->entries[index];
          f.colors[i] = e.peBlue | (e.peGreen << 8) | (e.peRed << 16);
        }
      } else {
        RGBQUAD q;
        std::memcpy(&q, table + 4 * i, 4);
        f.colors[i] = PixelOfQuad(q);
      }
    }
  }
  return f;
}

void DibRowToPixels(const DibFormat& f, const BYTE* row, uint32_t* out) {
  const int w = f.width;
  switch (f.bitCount) {
    case 1:
      for (int x = 0; x < w; ++x) out[x] = f.colors[(row[x >> 3] >> (7 - (x & 7))) & 1];
      break;
    case 4:
      for (int x = 0; x < w; ++x) out[x] = f.colors[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
      break;
    case 8:
      for (int x = 0; x < w; ++x) out[x] = f.colors[row[x]];
      break;
    case 16:
      for (int x = 0; x < w; ++x) {
        const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
        const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        out[x] = ((b << 3) | (b >> 2)) | (((g << 3) | (g >> 2)) << 8) | (((r << 3) | (r >> 2)) << 16);
      }
      break;
    case 24:
      for (int x = 0; x < w; ++x, row += 3) out[x] = row[0] | (row[1] << 8) | (row[2] << 16);
      break;
    case 32:
      for (int x = 0; x < w; ++x, row += 4) out[x] = row[0] | (row[1] << 8) | (row[2] << 16);
      break;
  }
}

std::vector<RGBQUAD> OutputColorTable(int bitCount) {
  std::vector<RGBQUAD> table;
  if (bitCount == 1) {
    table = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  } else if (bitCount == 4) {
    for (const auto& c : kVga) table.push_back(RGBQUAD{c[2], c[1], c[0], 0});
  } else if (bitCount == 8) {
    // The sixteen standard colours, a 6 × 6 × 6 cube and the greys between.
    for (const auto& c : kVga) table.push_back(RGBQUAD{c[2], c[1], c[0], 0});
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          table.push_back(RGBQUAD{static_cast<BYTE>(b * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(r * 51), 0});
    for (int i = 1; table.size() < 256; ++i) {
      const BYTE v = static_cast<BYTE>(i * 10);
      table.push_back(RGBQUAD{v, v, v, 0});
    }
  }
  return table;
}

void PixelsToDibRow(int bitCount, const std::vector<RGBQUAD>& table, const uint32_t* in, int width, BYTE* out) {
  switch (bitCount) {
    case 1:
      std::memset(out, 0, (static_cast<size_t>(width) + 7) / 8);
      for (int x = 0; x < width; ++x) {
        if (MonochromePixel(in[x] & kPixelMask)) out[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
      }
      break;
    case 4:
      std::memset(out, 0, (static_cast<size_t>(width) + 1) / 2);
      for (int x = 0; x < width; ++x) out[x >> 1] |= static_cast<BYTE>(Nearest(table, in[x]) << ((x & 1) ? 0 : 4));
      break;
    case 8:
      for (int x = 0; x < width; ++x) {
        const uint32_t p = in[x];
        const int b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
        out[x] = static_cast<BYTE>(16 + CubeLevel(r) * 36 + CubeLevel(g) * 6 + CubeLevel(b));
      }
      break;
    case 16:
      for (int x = 0; x < width; ++x) {
        const uint32_t p = in[x];
        const unsigned v = ((p >> 3) & 31) | (((p >> 11) & 31) << 5) | (((p >> 19) & 31) << 10);
        out[2 * x] = static_cast<BYTE>(v);
        out[2 * x + 1] = static_cast<BYTE>(v >> 8);
      }
      break;
    case 24:
      for (int x = 0; x < width; ++x, out += 3) {
        out[0] = static_cast<BYTE>(in[x]);
        out[1] = static_cast<BYTE>(in[x] >> 8);
        out[2] = static_cast<BYTE>(in[x] >> 16);
      }
      break;
    case 32:
      for (int x = 0; x < width; ++x, out += 4) {
        out[0] = static_cast<BYTE>(in[x]);
        out[1] = static_cast<BYTE>(in[x] >> 8);
        out[2] = static_cast<BYTE>(in[x] >> 16);
        out[3] = 0;
      }
      break;
  }
}

}  // namespace quorlin::platform::gdi
