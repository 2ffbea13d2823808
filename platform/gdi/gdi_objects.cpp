// Pens, brushes, bitmaps and the stock objects; GetObject, DeleteObject and GetObjectType.
#include "platform/gdi/gdi_objects.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/gdi/gdi.h"
#include "platform/gdi/raster_ops.h"
#include "platform/gdi/sys_colors.h"

namespace quorlin::platform {

Surface::Surface(int w, int h) : width(w), height(h), stride(w), pixels(static_cast<size_t>(w) * h, 0) {}

}  // namespace quorlin::platform

namespace quorlin::platform::gdi {

std::shared_ptr<DeviceContext> LookupDC(HDC h) { return LookupHandleAs<DeviceContext>(h, HandleKind::DeviceContext); }
std::shared_ptr<BitmapObject> LookupBitmap(HBITMAP h) { return LookupHandleAs<BitmapObject>(h, HandleKind::Bitmap); }
std::shared_ptr<PenObject> LookupPen(HPEN h) { return LookupHandleAs<PenObject>(h, HandleKind::Pen); }
std::shared_ptr<BrushObject> LookupBrush(HBRUSH h) { return LookupHandleAs<BrushObject>(h, HandleKind::Brush); }
std::shared_ptr<FontObject> LookupFont(HFONT h) { return LookupHandleAs<FontObject>(h, HandleKind::Font); }
std::shared_ptr<RegionObject> LookupRegion(HRGN h) { return LookupHandleAs<RegionObject>(h, HandleKind::Region); }
std::shared_ptr<PaletteObject> LookupPalette(HPALETTE h) {
  return LookupHandleAs<PaletteObject>(h, HandleKind::Palette);
}

std::shared_ptr<BitmapObject> MakeBitmap(int width, int height, bool monochrome) {
  if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide ||
      int64_t{width} * height > kMaxSurfacePixels) {
    return nullptr;
  }
  auto bitmap = std::make_shared<BitmapObject>();
  bitmap->surface = std::make_shared<Surface>(width, height);
  bitmap->monochrome = monochrome;
  return bitmap;
}

HBITMAP RegisterBitmap(std::shared_ptr<BitmapObject> bitmap) {
  return bitmap ? RegisterHandle(HandleKind::Bitmap, std::move(bitmap)) : 0;
}

bool IsMonochromeTarget(const DeviceContext& dc) {
  return dc.kind == DeviceContext::Kind::Memory && dc.state.bitmap && dc.state.bitmap->monochrome;
}

uint32_t TargetPixel(const DeviceContext& dc, COLORREF color) {
  if ((color >> 24) == 0x01) {  // PALETTEINDEX
    const auto& palette = dc.state.palette;
    const WORD index = static_cast<WORD>(color);
    color = 0;
    if (palette && index < palette->entries.size()) {
      const PALETTEENTRY& e = palette->entries[index];
      color = RGB(e.peRed, e.peGreen, e.peBlue);
    }
  }
  const uint32_t pixel = PixelFromColorRef(color & 0xFFFFFF);
  return IsMonochromeTarget(dc) ? MonochromePixel(pixel) : pixel;
}

namespace {

struct StockObjects {
  HGDIOBJ handles[20] = {};
  HBITMAP defaultBitmap = 0;
};

template <typename T>
HGDIOBJ RegisterStock(HandleKind kind, std::shared_ptr<T> object) {
  object->stock = true;
  return RegisterHandle(kind, std::move(object));
}

HGDIOBJ StockPen(int style, COLORREF color, bool dcPen = false) {
  auto pen = std::make_shared<PenObject>();
  pen->style = style;
  pen->color = color;
  pen->dcPen = dcPen;
  return RegisterStock(HandleKind::Pen, pen);
}

HGDIOBJ StockBrush(UINT style, COLORREF color, bool dcBrush = false) {
  auto brush = std::make_shared<BrushObject>();
  brush->style = style;
  brush->color = color;
  brush->dcBrush = dcBrush;
  return RegisterStock(HandleKind::Brush, brush);
}

HGDIOBJ StockFont(LONG height, LONG weight) {
  auto font = std::make_shared<FontObject>();
  font->font.lfHeight = height;
  font->font.lfWeight = weight;
  font->font.lfCharSet = GB2312_CHARSET;
  static const char kSongTi[] = "\xCB\xCE\xCC\xE5";  // 宋体 in GBK
  std::memcpy(font->font.lfFaceName, kSongTi, sizeof kSongTi);
  return RegisterStock(HandleKind::Font, font);
}

const StockObjects& Stock() {
  static StockObjects* stock = [] {
    auto* s = new StockObjects;
    s->handles[WHITE_BRUSH] = StockBrush(BS_SOLID, 0xFFFFFF);
    s->handles[LTGRAY_BRUSH] = StockBrush(BS_SOLID, 0xC0C0C0);
    s->handles[GRAY_BRUSH] = StockBrush(BS_SOLID, 0x808080);
    s->handles[DKGRAY_BRUSH] = StockBrush(BS_SOLID, 0x404040);
    s->handles[BLACK_BRUSH] = StockBrush(BS_SOLID, 0);
    s->handles[NULL_BRUSH] = StockBrush(BS_NULL, 0);
    s->handles[WHITE_PEN] = StockPen(PS_SOLID, 0xFFFFFF);
    s->handles[BLACK_PEN] = StockPen(PS_SOLID, 0);
    s->handles[NULL_PEN] = StockPen(PS_NULL, 0);
    s->handles[OEM_FIXED_FONT] = StockFont(-12, FW_NORMAL);
    s->handles[ANSI_FIXED_FONT] = StockFont(-12, FW_NORMAL);
    s->handles[ANSI_VAR_FONT] = StockFont(-12, FW_NORMAL);
    s->handles[SYSTEM_FONT] = StockFont(16, FW_BOLD);
    s->handles[DEVICE_DEFAULT_FONT] = StockFont(16, FW_NORMAL);
    s->handles[SYSTEM_FIXED_FONT] = StockFont(16, FW_NORMAL);
    s->handles[DEFAULT_GUI_FONT] = StockFont(-12, FW_NORMAL);
    auto palette = std::make_shared<PaletteObject>();
    // The static colours of a true-colour screen's default palette.
    static const BYTE kDefault[20][3] = {
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    for (const auto& c : kDefault) palette->entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
    s->handles[DEFAULT_PALETTE] = RegisterStock(HandleKind::Palette, palette);
    s->handles[DC_BRUSH] = StockBrush(BS_SOLID, 0xFFFFFF, true);
    s->handles[DC_PEN] = StockPen(PS_SOLID, 0, true);
    auto bitmap = MakeBitmap(1, 1, true);
    bitmap->stock = true;
    s->defaultBitmap = RegisterHandle(HandleKind::Bitmap, bitmap);
    return s;
  }();
  return *stock;
}

std::shared_ptr<GdiObject> LookupAnyObject(HGDIOBJ h, HandleKind* kind) {
  const auto k = HandleKindOf(h);
  if (!k) return nullptr;
  switch (*k) {
    case HandleKind::Bitmap:
    case HandleKind::Pen:
    case HandleKind::Brush:
    case HandleKind::Font:
    case HandleKind::Region:
    case HandleKind::Palette:
      *kind = *k;
      return std::static_pointer_cast<GdiObject>(LookupHandle(h, *k));
    default:
      return nullptr;
  }
}

template <typename T>
int CopyOut(const T& value, int bufferSize, LPVOID buffer) {
  if (buffer == nullptr) return static_cast<int>(sizeof(T));
  if (bufferSize <= 0) return 0;
  const size_t n = std::min(sizeof(T), static_cast<size_t>(bufferSize));
  std::memcpy(buffer, &value, n);
  return static_cast<int>(n);
}

bool ValidBitmapSize(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxSurfaceSide && height <= kMaxSurfaceSide &&
         int64_t{width} * height <= kMaxSurfacePixels;
}

}  // namespace

HBITMAP DefaultBitmapHandle() { return Stock().defaultBitmap; }

}  // namespace quorlin::platform::gdi

using namespace quorlin::platform;
using namespace quorlin::platform::gdi;

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index >= 20) return 0;
  return Stock().handles[index];
}

DWORD GetObjectType(HGDIOBJ object) {
  const auto kind = HandleKindOf(object);
  if (!kind) return 0;
  switch (*kind) {
    case HandleKind::Pen: return OBJ_PEN;
    case HandleKind::Brush: return OBJ_BRUSH;
    case HandleKind::Font: return OBJ_FONT;
    case HandleKind::Bitmap: return OBJ_BITMAP;
    case HandleKind::Region: return OBJ_REGION;
    case HandleKind::Palette: return OBJ_PAL;
    case HandleKind::DeviceContext: {
      auto dc = LookupDC(object);
      return dc && dc->kind == DeviceContext::Kind::Memory ? OBJ_MEMDC : OBJ_DC;
    }
    default: return 0;
  }
}

BOOL DeleteObject(HGDIOBJ object) {
  HandleKind kind;
  auto obj = LookupAnyObject(object, &kind);
  if (!obj) return FALSE;
  if (obj->stock) return TRUE;
  if (kind == HandleKind::Bitmap && std::static_pointer_cast<BitmapObject>(obj)->selectedInto != 0) {
    return FALSE;  // still selected into a device context
  }
  return ReleaseHandle(object, kind) ? TRUE : FALSE;
}

int GetObjectA(HGDIOBJ object, int bufferSize, LPVOID buffer) {
  HandleKind kind;
  auto obj = LookupAnyObject(object, &kind);
  if (!obj) return 0;
  switch (kind) {
    case HandleKind::Bitmap: {
      const auto& b = static_cast<const BitmapObject&>(*obj);
      BITMAP bm{};
      bm.bmWidth = b.surface->width;
      bm.bmHeight = b.surface->height;
      bm.bmPlanes = 1;
      bm.bmBitsPixel = b.monochrome ? 1 : 32;
      bm.bmWidthBytes = b.monochrome ? (b.surface->width + 15) / 16 * 2 : b.surface->width * 4;
      return CopyOut(bm, bufferSize, buffer);
    }
    case HandleKind::Pen: {
      const auto& p = static_cast<const PenObject&>(*obj);
      return CopyOut(LOGPEN{static_cast<UINT>(p.style), POINT{p.width, 0}, p.color}, bufferSize, buffer);
    }
    case HandleKind::Brush: {
      const auto& b = static_cast<const BrushObject&>(*obj);
      return CopyOut(LOGBRUSH{b.style, b.color, static_cast<ULONG_PTR>(b.hatch)}, bufferSize, buffer);
    }
    case HandleKind::Font: return CopyOut(static_cast<const FontObject&>(*obj).font, bufferSize, buffer);
    case HandleKind::Palette: {
      const WORD count = static_cast<WORD>(static_cast<const PaletteObject&>(*obj).entries.size());
      return CopyOut(count, bufferSize, buffer);
    }
    default: return 0;
  }
}

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style < PS_SOLID || (style > PS_INSIDEFRAME && style != PS_ALTERNATE)) style = PS_SOLID;
  auto pen = std::make_shared<PenObject>();
  pen->style = style;
  pen->width = std::max(width, 0);
  pen->color = color;
  return RegisterHandle(HandleKind::Pen, pen);
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  return pen ? CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor) : 0;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto brush = std::make_shared<BrushObject>();
  brush->color = color;
  return RegisterHandle(HandleKind::Brush, brush);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return 0;
  auto brush = std::make_shared<BrushObject>();
  brush->style = BS_HATCHED;
  brush->hatch = hatch;
  brush->color = color;
  return RegisterHandle(HandleKind::Brush, brush);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  auto source = LookupBitmap(bitmap);
  if (!source) return 0;
  auto brush = std::make_shared<BrushObject>();
  brush->style = BS_PATTERN;
  brush->hatch = static_cast<int>(bitmap);
  {
    std::lock_guard lock(source->surface->mutex);
    brush->pattern = std::make_shared<Surface>(source->surface->width, source->surface->height);
    brush->pattern->pixels = source->surface->pixels;
  }
  brush->monochromePattern = source->monochrome;
  return RegisterHandle(HandleKind::Brush, brush);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush) return 0;
  switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(brush->lbHatch), brush->lbColor);
    case BS_PATTERN: return CreatePatternBrush(static_cast<HBITMAP>(brush->lbHatch));
    case BS_NULL: {
      auto b = std::make_shared<BrushObject>();
      b->style = BS_NULL;
      return RegisterHandle(HandleKind::Brush, b);
    }
    default: return 0;
  }
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || !ValidBitmapSize(width, height)) return 0;
  if (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32) return 0;
  auto bitmap = MakeBitmap(width, height, bitsPerPixel == 1);
  if (!bitmap) return 0;
  if (bits != nullptr) {
    // Rows of the platform's device-dependent bitmaps are aligned to 16 bits.
    const size_t rowBytes = (static_cast<size_t>(width) * bitsPerPixel + 15) / 16 * 2;
    const BYTE* p = static_cast<const BYTE*>(bits);
    for (int y = 0; y < height; ++y, p += rowBytes) {
      uint32_t* row = bitmap->surface->Row(y);
      for (int x = 0; x < width; ++x) {
        if (bitsPerPixel == 1) {
          row[x] = (p[x >> 3] >> (7 - (x & 7))) & 1 ? kWhitePixel : 0;
        } else {
          const BYTE* px = p + static_cast<size_t>(x) * (bitsPerPixel / 8);
          row[x] = px[0] | (px[1] << 8) | (px[2] << 16);
        }
      }
    }
  }
  return RegisterBitmap(bitmap);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  std::shared_ptr<DeviceContext> dc;
  if (hdc != 0) {
    dc = LookupDC(hdc);
    if (!dc) return 0;
  }
  if (width == 0 || height == 0) return CreateBitmap(1, 1, 1, 1, nullptr);
  return RegisterBitmap(MakeBitmap(width, height, dc && IsMonochromeTarget(*dc)));
}
