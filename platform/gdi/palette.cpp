// Logical palettes on a true-colour screen: they are kept and selected, but nothing is mapped.
#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/raster_ops.h"

using namespace quorlin::platform;
using namespace quorlin::platform::gdi;

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != 0x300 || palette->palNumEntries == 0) return 0;
  auto object = std::make_shared<PaletteObject>();
  object->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return RegisterHandle(HandleKind::Palette, object);
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
  auto dc = LookupDC(hdc);
  auto object = LookupPalette(palette);
  if (!dc || !object) return 0;
  const HPALETTE old = dc->state.paletteHandle;
  dc->state.palette = object;
  dc->state.paletteHandle = palette;
  return old;
}

UINT RealizePalette(HDC hdc) { return LookupDC(hdc) ? 0 : static_cast<UINT>(GDI_ERROR); }

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
  auto object = LookupPalette(palette);
  if (!object) return 0;
  const UINT size = static_cast<UINT>(object->entries.size());
  if (!entries) return size;
  if (start >= size) return 0;
  const UINT n = std::min(count, size - start);
  std::memcpy(entries, object->entries.data() + start, n * sizeof(PALETTEENTRY));
  return n;
}

// A true-colour screen has no system palette.
UINT GetSystemPaletteEntries(HDC, UINT, UINT, PALETTEENTRY*) { return 0; }

COLORREF GetNearestColor(HDC hdc, COLORREF color) {
  auto dc = LookupDC(hdc);
  if (!dc) return CLR_INVALID;
  return ColorRefFromPixel(TargetPixel(*dc, color));
}
