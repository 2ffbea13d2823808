// CreateDIBitmap, SetDIBits, GetDIBits, SetDIBitsToDevice and StretchDIBits.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/transfer.h"

using namespace quorlin::platform;
using namespace quorlin::platform::gdi;

namespace {

// The scan lines [first, first + count) of a DIB as a top-down block of pixels.
struct DecodedBand {
  std::vector<uint32_t> pixels;
  int top = 0;     // top-down row of the block's first row
  int bottom = 0;  // one past its last row
};

DecodedBand DecodeBand(const DibFormat& f, const void* bits, int64_t first, int64_t count) {
  DecodedBand band;
  const int64_t lo = std::clamp<int64_t>(first, 0, f.height);
  const int64_t hi = std::clamp<int64_t>(first + count, 0, f.height);
  if (lo >= hi || bits == nullptr) return band;
  band.top = f.topDown ? static_cast<int>(lo) : f.height - static_cast<int>(hi);
  band.bottom = f.topDown ? static_cast<int>(hi) : f.height - static_cast<int>(lo);
  band.pixels.resize(static_cast<size_t>(f.width) * (band.bottom - band.top));
  const BYTE* base = static_cast<const BYTE*>(bits);
  for (int64_t scan = lo; scan < hi; ++scan) {
    const int row = f.RowOfScan(static_cast<int>(scan));
    DibRowToPixels(f, base + static_cast<size_t>(scan - first) * f.stride,
                   band.pixels.data() + static_cast<size_t>(row - band.top) * f.width);
  }
  return band;
}

int SetBits(const DeviceContext* dc, BitmapObject& bitmap, UINT startScan, UINT scanLines, const void* bits,
            const BITMAPINFO* info, UINT usage) {
  const auto format = ParseDibFormat(info, usage, dc);
  if (!format || bits == nullptr) return 0;
  const DibFormat& f = *format;
  Surface& s = *bitmap.surface;
  std::lock_guard lock(s.mutex);
  std::vector<uint32_t> row(static_cast<size_t>(f.width));
  const BYTE* base = static_cast<const BYTE*>(bits);
  int done = 0;
  const int64_t end = std::min<int64_t>(int64_t{startScan} + scanLines, f.height);
  for (int64_t scan = startScan; scan < end; ++scan, ++done) {
    const int y = f.RowOfScan(static_cast<int>(scan));
    if (y >= s.height) continue;
    DibRowToPixels(f, base + static_cast<size_t>(scan - startScan) * f.stride, row.data());
    uint32_t* out = s.Row(y);
    const int n = std::min(f.width, s.width);
    for (int x = 0; x < n; ++x) out[x] = bitmap.monochrome ? MonochromePixel(row[x]) : row[x];
  }
  return done;
}

// Draws the DIB's source rectangle (corners in top-down DIB rows) onto the device rectangle.
int DrawDib(DeviceContext& dc, POINT d0, POINT d1, const DibFormat& f, const DecodedBand& band, POINT s0, POINT s1,
            DWORD rop) {
  if (band.pixels.empty()) return 0;
  DeviceTarget target(dc);
  if (!target.Valid()) return 0;
  TransferSource source;
  source.image.pixels = band.pixels.data();
  source.image.stride = f.width;
  source.image.width = f.width;
  source.image.height = band.bottom - band.top;
  s0.y -= band.top;
  s1.y -= band.top;
  Transfer(dc, target, d0, d1, &source, s0, s1, RopIndex(rop));
  return 1;
}

}  // namespace

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
  if (!header) return 0;
  std::shared_ptr<DeviceContext> dc;
  if (hdc != 0 && !(dc = LookupDC(hdc))) return 0;
  const int width = header->biWidth;
  const int height = header->biHeight == INT32_MIN ? 0 : std::abs(header->biHeight);
  auto bitmap = MakeBitmap(width, height, dc && IsMonochromeTarget(*dc));
  if (!bitmap) return 0;
  if ((init & CBM_INIT) != 0) {
    const auto format = ParseDibFormat(info, usage, dc.get());
    if (!format || !bits) return 0;
    SetBits(dc.get(), *bitmap, 0, static_cast<UINT>(format->height), bits, info, usage);
  }
  return RegisterBitmap(bitmap);
}

int SetDIBits(HDC hdc, HBITMAP bitmap, UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info,
              UINT usage) {
  auto b = LookupBitmap(bitmap);
  if (!b) return 0;
  auto dc = LookupDC(hdc);
  return SetBits(dc.get(), *b, startScan, scanLines, bits, info, usage);
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT startScan, UINT scanLines, LPVOID bits, BITMAPINFO* info, UINT usage) {
  auto b = LookupBitmap(bitmap);
  if (!b || !LookupDC(hdc) || !info) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  Surface& s = *b->surface;
  if (h.biBitCount == 0) {
    // Only the bitmap's own format is asked for.
    if (bits != nullptr) return 0;
    h.biWidth = s.width;
    h.biHeight = s.height;
    h.biPlanes = 1;
    h.biBitCount = b->monochrome ? 1 : 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(DibStride(s.width, h.biBitCount) * s.height);
    return s.height;
  }
  if (h.biWidth == 0 && h.biHeight == 0) {
    h.biWidth = s.width;
    h.biHeight = s.height;
  }
  if (h.biPlanes == 0) h.biPlanes = 1;
  if (h.biCompression != BI_RGB) return 0;
  const auto format = ParseDibFormat(info, DIB_RGB_COLORS, nullptr);
  if (!format) return 0;
  const DibFormat& f = *format;
  const std::vector<RGBQUAD> table = OutputColorTable(f.bitCount);
  if (!table.empty() && usage == DIB_RGB_COLORS) {
    std::memcpy(reinterpret_cast<BYTE*>(info) + h.biSize, table.data(), table.size() * sizeof(RGBQUAD));
    h.biClrUsed = 0;
  }
  h.biSizeImage = static_cast<DWORD>(f.stride * f.height);
  if (bits == nullptr) return f.height;

  std::lock_guard lock(s.mutex);
  std::vector<uint32_t> row(static_cast<size_t>(f.width));
  BYTE* out = static_cast<BYTE*>(bits);
  int done = 0;
  const int64_t end = std::min<int64_t>(int64_t{startScan} + scanLines, f.height);
  for (int64_t scan = startScan; scan < end; ++scan, ++done) {
    const int y = f.RowOfScan(static_cast<int>(scan));
    std::fill(row.begin(), row.end(), 0);
    if (y < s.height) std::copy(s.Row(y), s.Row(y) + std::min(f.width, s.width), row.begin());
    BYTE* dest = out + static_cast<size_t>(scan - startScan) * f.stride;
    std::memset(dest, 0, f.stride);
    PixelsToDibRow(f.bitCount, table, row.data(), f.width, dest);
  }
  return done;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage) {
  auto dc = LookupDC(hdc);
  if (!dc || width > static_cast<DWORD>(kMaxSurfaceSide) || height > static_cast<DWORD>(kMaxSurfaceSide)) return 0;
  const auto format = ParseDibFormat(info, usage, dc.get());
  if (!format || !bits) return 0;
  const DibFormat& f = *format;
  const DecodedBand band = DecodeBand(f, bits, startScan, scanLines);
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  // Source y counts from the bottom row of a bottom-up DIB, from the top of a top-down one.
  const int top = f.topDown ? ySrc : f.height - ySrc - h;
  const POINT d0 = TransformOf(dc->state).ToDevice(POINT{xDest, yDest});
  // Rows outside the band given are not drawn.
  const int bandTop = std::max(top, band.top), bandBottom = std::min(top + h, band.bottom);
  if (bandTop >= bandBottom) return static_cast<int>(band.bottom - band.top);
  DrawDib(*dc, POINT{d0.x, d0.y + (bandTop - top)}, POINT{d0.x + w, d0.y + (bandBottom - top)}, f, band,
          POINT{xSrc, bandTop}, POINT{xSrc + w, bandBottom}, SRCCOPY);
  return band.bottom - band.top;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  auto dc = LookupDC(hdc);
  if (!dc) return 0;
  const auto format = ParseDibFormat(info, usage, dc.get());
  if (!format || (!bits && RopUsesSource(RopIndex(rop)))) return 0;
  const DibFormat& f = *format;
  const Transform t = TransformOf(dc->state);
  const POINT d0 = t.ToDevice(POINT{xDest, yDest});
  const POINT d1 = t.ToDevice(POINT{xDest + destWidth, yDest + destHeight});
  if (!RopUsesSource(RopIndex(rop))) {
    DeviceTarget target(*dc);
    if (target.Valid()) Transfer(*dc, target, d0, d1, nullptr, POINT{}, POINT{}, RopIndex(rop));
    return std::abs(srcHeight);
  }
  const DecodedBand band = DecodeBand(f, bits, 0, f.height);
  const int top = f.topDown ? ySrc : f.height - ySrc - srcHeight;
  const int bottom = f.topDown ? ySrc + srcHeight : f.height - ySrc;
  // A negative source height mirrors, like a negative destination height.
  POINT s0{xSrc, srcHeight >= 0 ? top : bottom};
  POINT s1{xSrc + srcWidth, srcHeight >= 0 ? bottom : top};
  if (srcHeight < 0) std::swap(s0.y, s1.y);
  DrawDib(*dc, d0, d1, f, band, s0, s1, rop);
  return std::abs(srcHeight);
}
