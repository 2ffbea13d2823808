// The objects behind GDI handles and the device context's state (internal to the drawing layer).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/base/handle_table.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"

namespace quorlin::platform::gdi {

struct GdiObject : HandleObject {
  bool stock = false;  // stock objects are never deleted
};

struct BitmapObject : GdiObject {
  std::shared_ptr<Surface> surface;
  bool monochrome = false;  // pixels are then only black or white
  HDC selectedInto = 0;
};

struct PenObject : GdiObject {
  int style = PS_SOLID;
  int width = 0;
  COLORREF color = 0;
  bool dcPen = false;  // the DC_PEN stock pen: colour taken from the device context
};

struct BrushObject : GdiObject {
  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  std::shared_ptr<Surface> pattern;  // BS_PATTERN: a copy of the bitmap
  bool monochromePattern = false;    // drawn in the text and background colours
  bool dcBrush = false;
};

struct FontObject : GdiObject {
  LOGFONTA font{};
};

struct RegionObject : GdiObject {
  Region region;
};

struct PaletteObject : GdiObject {
  std::vector<PALETTEENTRY> entries;
};

struct DcState {
  HBITMAP bitmapHandle = 0;
  std::shared_ptr<BitmapObject> bitmap;
  HPEN penHandle = 0;
  std::shared_ptr<PenObject> pen;
  HBRUSH brushHandle = 0;
  std::shared_ptr<BrushObject> brush;
  HFONT fontHandle = 0;
  std::shared_ptr<FontObject> font;
  HPALETTE paletteHandle = 0;
  std::shared_ptr<PaletteObject> palette;

  std::optional<Region> clip;  // device coordinates; none = everything
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int polyFillMode = ALTERNATE;
  int stretchMode = BLACKONWHITE;
  UINT textAlign = 0;
  COLORREF dcBrushColor = 0xFFFFFF;
  COLORREF dcPenColor = 0;

  int mapMode = MM_TEXT;
  POINT windowOrg{0, 0};
  POINT viewportOrg{0, 0};
  SIZE windowExt{1, 1};
  SIZE viewportExt{1, 1};
  POINT current{0, 0};
  POINT brushOrg{0, 0};
};

struct DeviceContext : HandleObject {
  enum class Kind { Memory, Surface };
  Kind kind = Kind::Memory;
  HDC handle = 0;
  DcState state;
  std::vector<DcState> saved;

  // Surface device contexts only. A context made with a surface maker has no surface until an
  // operation first reaches its pixels (TargetSurface).
  mutable std::shared_ptr<Surface> surface;
  // The surface before the last retargeting, kept alive for a drawing thread that had found it
  // just before: it waits for that surface's lock, then finds the new one (DeviceTarget).
  std::shared_ptr<Surface> retiredSurface;
  std::function<std::shared_ptr<Surface>()> makeSurface;
  POINT origin{0, 0};
  Region visible;

  // The clip actually in force (visible part ∩ clip ∩ target), rebuilt when null.
  std::optional<Region> effectiveClip;
};

std::shared_ptr<DeviceContext> LookupDC(HDC hdc);
std::shared_ptr<BitmapObject> LookupBitmap(HBITMAP bitmap);
std::shared_ptr<PenObject> LookupPen(HPEN pen);
std::shared_ptr<BrushObject> LookupBrush(HBRUSH brush);
std::shared_ptr<FontObject> LookupFont(HFONT font);
std::shared_ptr<RegionObject> LookupRegion(HRGN region);
std::shared_ptr<PaletteObject> LookupPalette(HPALETTE palette);

// A new bitmap; null when the size is not positive or too large.
std::shared_ptr<BitmapObject> MakeBitmap(int width, int height, bool monochrome);
HBITMAP RegisterBitmap(std::shared_ptr<BitmapObject> bitmap);
// The 1 × 1 monochrome bitmap every new memory device context holds.
HBITMAP DefaultBitmapHandle();

// Whether the device context draws on a monochrome bitmap.
bool IsMonochromeTarget(const DeviceContext& dc);
// A colour of the device context as a pixel of its target: palette indices resolved, and
// black or white on monochrome targets.
uint32_t TargetPixel(const DeviceContext& dc, COLORREF color);

}  // namespace quorlin::platform::gdi
