#include "graphics/snapshot/snapshot.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::snapshot {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
// Larger pictures are refused rather than converted (the screen is far smaller).
constexpr int64_t kMaxImageBytes = int64_t{1} << 30;

void PutLe16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// A device context and its owner, released on leaving.
class WindowDC {
 public:
  WindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

class Bitmap {
 public:
  explicit Bitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  ~Bitmap() {
    if (bitmap_) DeleteObject(bitmap_);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  HBITMAP get() const { return bitmap_; }

 private:
  HBITMAP bitmap_;
};

// A memory device context compatible with the screen. The stretch and the conversion use one
// rather than the screen's own context: taking that composes the whole screen, and a memory
// context has the screen's format and palette capabilities.
class MemoryDC {
 public:
  MemoryDC() : dc_(CreateCompatibleDC(0)) {}
  ~MemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Copies `width` × `height` of `source` (from its top-left) into a new bitmap compatible with
// it; 0 on failure.
HBITMAP Capture(HDC source, int width, int height) {
  const HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
  if (!bitmap) return 0;
  const HDC memory = CreateCompatibleDC(source);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  return bitmap;
}

HBITMAP Stretch(HBITMAP captured, int capturedWidth, int capturedHeight, int width, int height) {
  const MemoryDC from;
  const MemoryDC to;
  if (!from.get() || !to.get()) return 0;
  const HBITMAP scaled = CreateCompatibleBitmap(0, width, height);  // 0: the screen's format
  if (!scaled) return 0;
  const HGDIOBJ oldFrom = SelectObject(from.get(), captured);
  const HGDIOBJ oldTo = SelectObject(to.get(), scaled);
  SetStretchBltMode(to.get(), GetDeviceCaps(to.get(), BITSPIXEL) > 16 ? HALFTONE : COLORONCOLOR);
  StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, capturedWidth, capturedHeight, SRCCOPY);
  SelectObject(from.get(), oldFrom);
  SelectObject(to.get(), oldTo);
  return scaled;
}

// The palette the conversion realises: on a palette device one made from the system palette's
// first 255 entries (owned by the caller), else the stock default palette.
HPALETTE ConversionPalette(HDC screen, bool* owned) {
  *owned = false;
  if (!(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE)) return static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  constexpr UINT kEntries = 255;
  std::vector<uint8_t> storage(sizeof(LOGPALETTE) + kEntries * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(GetSystemPaletteEntries(screen, 0, kEntries, palette->palPalEntry));
  const HPALETTE made = CreatePalette(palette);
  if (!made) return static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  *owned = true;
  return made;
}

// `prefix` bytes kept free for the file header, then the information header and the rows of
// the bitmap; empty on failure.
std::vector<uint8_t> BitsOf(HBITMAP bitmap, int width, int height, size_t prefix) {
  const MemoryDC screen;
  if (!screen.get()) return {};
  bool ownedPalette = false;
  const HPALETTE palette = ConversionPalette(screen.get(), &ownedPalette);
  const HPALETTE oldPalette = SelectPalette(screen.get(), palette, FALSE);
  RealizePalette(screen.get());

  BITMAPINFOHEADER header{};
  header.biSize = kInfoHeaderSize;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  std::vector<uint8_t> block;
  // First call: only the header is completed.
  GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), nullptr, reinterpret_cast<BITMAPINFO*>(&header),
            DIB_RGB_COLORS);
  const int64_t rowsBytes = BmpRowLength(width) * height;
  if (header.biSizeImage == 0) header.biSizeImage = static_cast<DWORD>(rowsBytes);
  // The rows must fit the block whatever the conversion reported.
  if (header.biSizeImage >= rowsBytes && header.biSizeImage <= kMaxImageBytes) {
    block.resize(prefix + kInfoHeaderSize + header.biSizeImage);
    // The header is converted in an aligned record and copied in front of the rows after.
    const int rows = GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height),
                               block.data() + prefix + kInfoHeaderSize, reinterpret_cast<BITMAPINFO*>(&header),
                               DIB_RGB_COLORS);
    std::memcpy(block.data() + prefix, &header, kInfoHeaderSize);
    if (rows <= 0) block.clear();
  }
  SelectPalette(screen.get(), oldPalette, FALSE);
  if (ownedPalette) DeleteObject(palette);
  return block;
}

}  // namespace

int32_t ResolveSnapshotSide(int32_t captured, int32_t wanted) {
  if (wanted == 0) return captured;
  if (wanted > 0) return wanted;
  const int64_t percent = std::max<int64_t>(-int64_t{wanted}, 10);
  return MulDiv(captured, static_cast<int>(std::min<int64_t>(percent, INT32_MAX)), 100);
}

std::vector<uint8_t> Snapshot(HWND window, int32_t width, int32_t height) {
  if (window != 0 && !IsWindow(window)) return {};
  const WindowDC source(window, window ? GetWindowDC(window) : GetDC(0));
  if (!source.get()) return {};
  int capturedWidth = 0;
  int capturedHeight = 0;
  if (window) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return {};
    capturedWidth = rect.right - rect.left;
    capturedHeight = rect.bottom - rect.top;
  } else {
    capturedWidth = GetDeviceCaps(source.get(), HORZRES);
    capturedHeight = GetDeviceCaps(source.get(), VERTRES);
  }
  const int32_t targetWidth = ResolveSnapshotSide(capturedWidth, width);
  const int32_t targetHeight = ResolveSnapshotSide(capturedHeight, height);
  if (targetWidth <= 0 || targetHeight <= 0 || capturedWidth <= 0 || capturedHeight <= 0) return {};
  if (BmpRowLength(targetWidth) * targetHeight > kMaxImageBytes) return {};

  const Bitmap captured(Capture(source.get(), capturedWidth, capturedHeight));
  if (!captured.get()) return {};
  const bool scale = targetWidth != capturedWidth || targetHeight != capturedHeight;
  const Bitmap scaled(scale ? Stretch(captured.get(), capturedWidth, capturedHeight, targetWidth, targetHeight) : 0);
  if (scale && !scaled.get()) return {};
  std::vector<uint8_t> file = BitsOf(scale ? scaled.get() : captured.get(), targetWidth, targetHeight, kFileHeaderSize);
  if (file.empty()) return {};
  file[0] = 'B';
  file[1] = 'M';
  PutLe32(&file[2], static_cast<uint32_t>(file.size()));
  PutLe16(&file[6], 0);
  PutLe16(&file[8], 0);
  PutLe32(&file[10], static_cast<uint32_t>(kFileHeaderSize + kInfoHeaderSize));  // no colour table at 24 bits
  return file;
}

}  // namespace quorlin::snapshot
