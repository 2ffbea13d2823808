// Icon handles: creation from resource bits or bitmaps, DrawIconEx, DestroyIcon.
#include "platform/gdi/icon.h"

#include <algorithm>
#include <mutex>

#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/icon_image.h"
#include "platform/gdi/paint.h"

using namespace quorlin::platform;
using namespace quorlin::platform::gdi;

namespace {

constexpr int kSystemIconSize = 32;

std::shared_ptr<IconObject> LookupIcon(HICON icon) { return LookupHandleAs<IconObject>(icon, HandleKind::Icon); }

uint32_t Blend(uint32_t d, uint32_t s) {
  const uint32_t a = s >> 24, inv = 255 - a;
  auto mix = [&](int shift) { return ((((d >> shift) & 0xFF) * inv + ((s >> shift) & 0xFF) * a + 127) / 255) << shift; };
  return mix(0) | mix(8) | mix(16);
}

}  // namespace

HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL isIcon, DWORD version, int desiredWidth,
                               int desiredHeight, UINT flags) {
  if (bits == nullptr || size == 0) return 0;
  if (version != 0x00030000 && version != 0x00020000) return 0;
  auto icon = std::make_shared<IconObject>();
  icon->isIcon = isIcon != FALSE;
  const BYTE* data = bits;
  size_t length = size;
  if (!isIcon) {
    // A cursor's image follows its hot spot.
    if (length < 4) return 0;
    icon->hotspot = POINT{data[0] | (data[1] << 8), data[2] | (data[3] << 8)};
    data += 4;
    length -= 4;
  }
  auto image = DecodeIconResource(data, length);
  if (!image) return 0;
  int width = desiredWidth, height = desiredHeight;
  if (width == 0) width = (flags & LR_DEFAULTSIZE) ? kSystemIconSize : image->width;
  if (height == 0) height = (flags & LR_DEFAULTSIZE) ? kSystemIconSize : image->height;
  if (width < 0 || height < 0 || width > kMaxIconSide || height > kMaxIconSide) return 0;
  icon->image = ResizeIcon(*image, width, height);
  if (flags & LR_MONOCHROME) {
    for (uint32_t& p : icon->image.color) p = MonochromePixel(p & kPixelMask);
    icon->image.hasAlpha = false;
  }
  return RegisterHandle(HandleKind::Icon, icon);
}

HICON CreateIconFromResource(const BYTE* bits, DWORD size, BOOL isIcon, DWORD version) {
  return CreateIconFromResourceEx(bits, size, isIcon, version, 0, 0, LR_DEFAULTCOLOR);
}

HICON CreateIconIndirect(const ICONINFO* info) {
  if (!info) return 0;
  auto mask = LookupBitmap(info->hbmMask);
  if (!mask) return 0;
  auto color = LookupBitmap(info->hbmColor);
  auto icon = std::make_shared<IconObject>();
  icon->isIcon = info->fIcon != FALSE;
  icon->hotspot = POINT{static_cast<LONG>(info->xHotspot), static_cast<LONG>(info->yHotspot)};
  IconImage& image = icon->image;
  const Surface& m = *mask->surface;
  image.width = m.width;
  // Without a colour bitmap the mask holds the AND image over the XOR image.
  image.height = color ? m.height : m.height / 2;
  if (image.height <= 0) return 0;
  image.color.assign(static_cast<size_t>(image.width) * image.height, 0);
  image.mask.assign(image.color.size(), 0);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const size_t i = static_cast<size_t>(y) * image.width + x;
      image.mask[i] = (m.Row(y)[x] & kPixelMask) != 0;
      if (color) {
        const Surface& c = *color->surface;
        if (x < c.width && y < c.height) image.color[i] = c.Row(y)[x] & kPixelMask;
      } else {
        image.color[i] = m.Row(y + image.height)[x] & kPixelMask;
      }
    }
  }
  return RegisterHandle(HandleKind::Icon, icon);
}

BOOL GetIconInfo(HICON handle, ICONINFO* info) {
  auto icon = LookupIcon(handle);
  if (!icon || !info) return FALSE;
  const IconImage& image = icon->image;
  auto mask = MakeBitmap(image.width, image.height, true);
  auto color = MakeBitmap(image.width, image.height, false);
  if (!mask || !color) return FALSE;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const size_t i = static_cast<size_t>(y) * image.width + x;
      mask->surface->Row(y)[x] = image.mask[i] ? kWhitePixel : 0;
      color->surface->Row(y)[x] = image.color[i] & kPixelMask;
    }
  }
  info->fIcon = icon->isIcon ? TRUE : FALSE;
  info->xHotspot = icon->isIcon ? static_cast<DWORD>(image.width / 2) : static_cast<DWORD>(icon->hotspot.x);
  info->yHotspot = icon->isIcon ? static_cast<DWORD>(image.height / 2) : static_cast<DWORD>(icon->hotspot.y);
  info->hbmMask = RegisterBitmap(mask);
  info->hbmColor = RegisterBitmap(color);
  return TRUE;
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON handle, int width, int height, UINT, HBRUSH flickerFreeBrush,
                UINT flags) {
  auto dc = LookupDC(hdc);
  auto icon = LookupIcon(handle);
  if (!dc || !icon) return FALSE;
  if ((flags & DI_NORMAL) == 0) flags |= DI_NORMAL;
  const IconImage& own = icon->image;
  if (width == 0) width = (flags & DI_DEFAULTSIZE) ? kSystemIconSize : own.width;
  if (height == 0) height = (flags & DI_DEFAULTSIZE) ? kSystemIconSize : own.height;
  const Transform t = TransformOf(dc->state);
  const POINT p0 = t.ToDevice(POINT{x, y});
  const POINT p1 = t.ToDevice(POINT{x + width, y + height});
  const RECT r{std::min(p0.x, p1.x), std::min(p0.y, p1.y), std::max(p0.x, p1.x), std::max(p0.y, p1.y)};
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0 || w > kMaxSurfaceSide || h > kMaxSurfaceSide) return TRUE;
  DeviceTarget target(*dc);
  if (!target.Valid()) return TRUE;
  if (flickerFreeBrush != 0) {
    if (auto brush = BrushFromArgument(flickerFreeBrush)) PaintRect(target, BrushPaint(*dc, brush.get()), 0xF0, r);
  }
  // The icon is scaled whole before it is drawn, so its drawn size is bounded.
  if (int64_t{w} * h > int64_t{16} * kMaxIconSide * kMaxIconSide) return FALSE;
  const IconImage image = ResizeIcon(own, w, h);
  const bool mono = target.Monochrome();
  for (int yy = 0; yy < h; ++yy) {
    const int dy = r.top + yy;
    target.ForEachClipped(dy, r.left, r.right, [&](int a, int b) {
      for (int dx = a; dx < b; ++dx) {
        const size_t i = static_cast<size_t>(yy) * w + (dx - r.left);
        uint32_t& d = *target.At(dx, dy);
        const uint32_t s = image.color[i];
        if (image.hasAlpha && (flags & DI_NORMAL) == DI_NORMAL) {
          d = Blend(d, s);
        } else {
          if (flags & DI_MASK) d = image.mask[i] ? d : 0;
          if (flags & DI_IMAGE) d = (flags & DI_MASK) ? (d ^ (s & kPixelMask)) : (s & kPixelMask);
        }
        if (mono) d = MonochromePixel(d);
      }
    });
  }
  return TRUE;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) { return DrawIconEx(hdc, x, y, icon, 0, 0, 0, 0, DI_NORMAL | DI_DEFAULTSIZE); }

BOOL DestroyIcon(HICON icon) { return ReleaseHandle(icon, HandleKind::Icon) ? TRUE : FALSE; }
