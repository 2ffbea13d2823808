// Fonts and text output: CreateFontIndirect, TextOut, GetTextExtentPoint32, GetTextMetrics.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/base/code_page.h"
#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/font_engine.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/paint.h"

using namespace quorlin::platform;
using namespace quorlin::platform::gdi;

namespace {

std::string FaceNameUtf8(const LOGFONTA& f) {
  const size_t n = strnlen(f.lfFaceName, LF_FACESIZE);
  return GbkToUtf8(std::string_view(f.lfFaceName, n));
}

// The request for the device context's font, its sizes converted to device pixels.
FontRequest RequestOf(const DeviceContext& dc) {
  LOGFONTA f{};
  if (dc.state.font) f = dc.state.font->font;
  const Transform t = TransformOf(dc.state);
  FontRequest r;
  r.faceUtf8 = FaceNameUtf8(f);
  r.height = f.lfHeight == 0 ? 0 : (f.lfHeight < 0 ? -std::abs(t.YToDevice(f.lfHeight)) : std::abs(t.YToDevice(f.lfHeight)));
  if (f.lfHeight != 0 && r.height == 0) r.height = f.lfHeight < 0 ? -1 : 1;
  r.width = std::abs(t.XToDevice(f.lfWidth));
  r.escapement = f.lfEscapement;
  // A y axis pointing up turns the text the other way on the device.
  if ((t.wey < 0) != (t.vey < 0)) r.escapement = -r.escapement;
  r.weight = f.lfWeight;
  r.italic = f.lfItalic != 0;
  r.underline = f.lfUnderline != 0;
  r.strikeOut = f.lfStrikeOut != 0;
  return r;
}

std::u32string CodePoints(std::u16string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      out.push_back(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// GBK bytes up to the last complete character (a lead byte without its trail is dropped).
std::u16string DecodeGbk(LPCSTR text, int length) {
  if (text == nullptr || length <= 0) return {};
  const auto* b = reinterpret_cast<const unsigned char*>(text);
  int end = 0;
  while (end < length) {
    if (b[end] >= 0x81 && b[end] <= 0xFE) {
      if (end + 1 >= length) break;
      end += 2;
    } else {
      ++end;
    }
  }
  return GbkToUtf16(std::string_view(text, static_cast<size_t>(end)));
}

int ExtentWidth(RealizedFont& font, const std::u32string& text) {
  int width = 0;
  for (char32_t c : text) width += font.GlyphOf(c).advance;
  return width;
}

// Fills a rotated rectangle: origin, length along the baseline direction u and depth along v.
void FillQuad(const DeviceTarget& target, const Paint& paint, double ox, double oy, double ux, double uy,
              double length, double depth) {
  const double vx = -uy, vy = ux;  // the downward direction of the text
  const double px[4] = {ox, ox + ux * length, ox + ux * length + vx * depth, ox + vx * depth};
  const double py[4] = {oy, oy + uy * length, oy + uy * length + vy * depth, oy + vy * depth};
  const RECT clip = target.Clip().Bounds();
  const int y0 = std::max<int>(clip.top, static_cast<int>(std::floor(*std::min_element(py, py + 4))));
  const int y1 = std::min<int>(clip.bottom, static_cast<int>(std::ceil(*std::max_element(py, py + 4))) + 1);
  for (int y = y0; y < y1; ++y) {
    const double yc = y + 0.5;
    double xs[4];
    int n = 0;
    for (int i = 0; i < 4; ++i) {
      const int j = (i + 1) % 4;
      if ((py[i] <= yc) == (py[j] <= yc)) continue;
      xs[n++] = px[i] + (yc - py[i]) * (px[j] - px[i]) / (py[j] - py[i]);
    }
    if (n < 2) continue;
    double lo = xs[0], hi = xs[0];
    for (int i = 1; i < n; ++i) {
      lo = std::min(lo, xs[i]);
      hi = std::max(hi, xs[i]);
    }
    PaintSpan(target, paint, 0xF0, y, static_cast<int>(std::ceil(lo - 0.5)), static_cast<int>(std::ceil(hi - 0.5)));
  }
}

void BlendGlyph(const DeviceTarget& target, const Glyph& g, int penX, int penY, uint32_t color) {
  const int x0 = penX + g.left, y0 = penY - g.top;
  const uint32_t cb = color & 0xFF, cg = (color >> 8) & 0xFF, cr = (color >> 16) & 0xFF;
  const bool mono = target.Monochrome();
  for (int row = 0; row < g.height; ++row) {
    const int y = y0 + row;
    const uint8_t* cov = g.coverage.data() + static_cast<size_t>(row) * g.width;
    target.ForEachClipped(y, x0, x0 + g.width, [&](int a, int b) {
      uint32_t* d = target.At(a, y);
      for (int x = a; x < b; ++x, ++d) {
        const uint32_t alpha = cov[x - x0];
        if (alpha == 0) continue;
        if (mono) {
          if (alpha >= 128) *d = color;
          continue;
        }
        if (alpha == 255) {
          *d = color;
          continue;
        }
        const uint32_t p = *d, inv = 255 - alpha;
        const uint32_t b0 = ((p & 0xFF) * inv + cb * alpha + 127) / 255;
        const uint32_t g0 = (((p >> 8) & 0xFF) * inv + cg * alpha + 127) / 255;
        const uint32_t r0 = (((p >> 16) & 0xFF) * inv + cr * alpha + 127) / 255;
        *d = b0 | (g0 << 8) | (r0 << 16);
      }
    });
  }
}

BOOL DrawText(HDC hdc, int x, int y, const std::u16string& text) {
  auto dc = LookupDC(hdc);
  if (!dc) return FALSE;
  const std::u32string cps = CodePoints(text);
  std::lock_guard fontLock(FontLock());
  RealizedFont* font = RealizeFont(RequestOf(*dc));
  if (font == nullptr) return FALSE;
  const TEXTMETRICA& m = font->Metrics();
  const Transform t = TransformOf(dc->state);
  const UINT align = dc->state.textAlign;
  if (align & TA_UPDATECP) {
    x = dc->state.current.x;
    y = dc->state.current.y;
  }
  const POINT ref = t.ToDevice(POINT{x, y});
  const int width = ExtentWidth(*font, cps);
  const FontRequest request = RequestOf(*dc);
  const double angle = request.escapement % 3600 * std::numbers::pi / 1800.0;
  const double ux = std::cos(angle), uy = -std::sin(angle);  // along the baseline
  const double vx = -uy, vy = ux;                            // downward
  double shift = 0;
  if ((align & TA_CENTER) == TA_CENTER) shift = -width / 2;
  else if (align & TA_RIGHT) shift = -width;
  double down = m.tmAscent;  // TA_TOP: the reference point is the cell's top
  if ((align & TA_BASELINE) == TA_BASELINE) down = 0;
  else if (align & TA_BOTTOM) down = -m.tmDescent;
  const double bx = ref.x + ux * shift + vx * down, by = ref.y + uy * shift + vy * down;  // baseline start

  if (align & TA_UPDATECP) {
    dc->state.current.x = x + t.XToLogical(((align & TA_CENTER) == TA_CENTER || (align & TA_RIGHT)) ? 0 : width);
  }
  if (cps.empty()) return TRUE;
  DeviceTarget target(*dc);
  if (!target.Valid()) return TRUE;
  if (dc->state.bkMode == OPAQUE) {
    const Paint back = SolidPaint(TargetPixel(*dc, dc->state.bkColor));
    if (angle == 0) {
      const int left = static_cast<int>(std::lround(bx)), top = static_cast<int>(std::lround(by)) - m.tmAscent;
      PaintRect(target, back, 0xF0, RECT{left, top, left + width, top + m.tmHeight});
    } else {
      FillQuad(target, back, bx - vx * m.tmAscent, by - vy * m.tmAscent, ux, uy, width, m.tmHeight);
    }
  }
  const uint32_t color = TargetPixel(*dc, dc->state.textColor);
  double pen = 0;
  for (char32_t c : cps) {
    const Glyph& g = font->GlyphOf(c);
    const int px = static_cast<int>(std::lround(bx + ux * pen)), py = static_cast<int>(std::lround(by + uy * pen));
    BlendGlyph(target, g, px, py, color);
    pen += g.advance;
  }
  const Paint ink = SolidPaint(color);
  auto line = [&](double offsetDown, int thickness) {
    if (angle == 0) {
      const int left = static_cast<int>(std::lround(bx)), top = static_cast<int>(std::lround(by + offsetDown));
      PaintRect(target, ink, 0xF0, RECT{left, top, left + width, top + thickness});
    } else {
      FillQuad(target, ink, bx + vx * offsetDown, by + vy * offsetDown, ux, uy, width, thickness);
    }
  };
  if (request.underline) line(font->UnderlinePosition(), font->UnderlineThickness());
  if (request.strikeOut) line(-font->StrikeOutPosition(), font->UnderlineThickness());
  return TRUE;
}

BOOL MeasureText(HDC hdc, const std::u16string& text, SIZE* size) {
  auto dc = LookupDC(hdc);
  if (!dc || !size) return FALSE;
  const std::u32string cps = CodePoints(text);
  std::lock_guard fontLock(FontLock());
  RealizedFont* font = RealizeFont(RequestOf(*dc));
  if (font == nullptr) return FALSE;
  const Transform t = TransformOf(dc->state);
  size->cx = std::abs(t.XToLogical(ExtentWidth(*font, cps)));
  size->cy = std::abs(t.YToLogical(font->Metrics().tmHeight));
  return TRUE;
}

}  // namespace

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  if (!font) return 0;
  auto object = std::make_shared<FontObject>();
  object->font = *font;
  object->font.lfFaceName[LF_FACESIZE - 1] = 0;
  PrepareFaceInBackground(FaceNameUtf8(object->font), object->font.lfWeight, object->font.lfItalic != 0);
  return RegisterHandle(HandleKind::Font, object);
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
  if (!font) return 0;
  LOGFONTA a{};
  std::memcpy(&a, font, offsetof(LOGFONTA, lfFaceName));
  size_t n = 0;
  while (n < LF_FACESIZE && font->lfFaceName[n] != 0) ++n;
  const std::string face = Utf16ToGbk(std::u16string_view(font->lfFaceName, n));
  std::memcpy(a.lfFaceName, face.data(), std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1)));
  return CreateFontIndirectA(&a);
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR faceName) {
  LOGFONTA f{};
  f.lfHeight = height;
  f.lfWidth = width;
  f.lfEscapement = escapement;
  f.lfOrientation = orientation;
  f.lfWeight = weight;
  f.lfItalic = static_cast<BYTE>(italic);
  f.lfUnderline = static_cast<BYTE>(underline);
  f.lfStrikeOut = static_cast<BYTE>(strikeOut);
  f.lfCharSet = static_cast<BYTE>(charSet);
  f.lfOutPrecision = static_cast<BYTE>(outPrecision);
  f.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  f.lfQuality = static_cast<BYTE>(quality);
  f.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (faceName) std::strncpy(f.lfFaceName, faceName, LF_FACESIZE - 1);
  return CreateFontIndirectA(&f);
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length) {
  if (length < 0 || (length > 0 && !text)) return FALSE;
  return DrawText(hdc, x, y, DecodeGbk(text, length));
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int length) {
  if (length < 0 || (length > 0 && !text)) return FALSE;
  return DrawText(hdc, x, y, std::u16string(text ? text : u"", static_cast<size_t>(length)));
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, SIZE* size) {
  if (length < 0 || (length > 0 && !text)) return FALSE;
  return MeasureText(hdc, DecodeGbk(text, length), size);
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int length, SIZE* size) {
  if (length < 0 || (length > 0 && !text)) return FALSE;
  return MeasureText(hdc, std::u16string(text ? text : u"", static_cast<size_t>(length)), size);
}

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* metrics) {
  auto dc = LookupDC(hdc);
  if (!dc || !metrics) return FALSE;
  std::lock_guard fontLock(FontLock());
  RealizedFont* font = RealizeFont(RequestOf(*dc));
  if (font == nullptr) return FALSE;
  *metrics = font->Metrics();
  const Transform t = TransformOf(dc->state);
  auto ly = [&](LONG v) { return static_cast<LONG>(std::abs(t.YToLogical(v))); };
  auto lx = [&](LONG v) { return static_cast<LONG>(std::abs(t.XToLogical(v))); };
  metrics->tmHeight = ly(metrics->tmHeight);
  metrics->tmAscent = ly(metrics->tmAscent);
  metrics->tmDescent = ly(metrics->tmDescent);
  metrics->tmInternalLeading = ly(metrics->tmInternalLeading);
  metrics->tmAveCharWidth = lx(metrics->tmAveCharWidth);
  metrics->tmMaxCharWidth = lx(metrics->tmMaxCharWidth);
  return TRUE;
}

int GetTextFaceA(HDC hdc, int count, LPSTR faceName) {
  auto dc = LookupDC(hdc);
  if (!dc) return 0;
  std::string face;
  {
    std::lock_guard fontLock(FontLock());
    RealizedFont* font = RealizeFont(RequestOf(*dc));
    face = font ? Utf8ToGbk(font->FamilyName()) : std::string();
  }
  if (!faceName) return static_cast<int>(face.size()) + 1;
  if (count <= 0) return 0;
  const size_t n = std::min(face.size(), static_cast<size_t>(count - 1));
  std::memcpy(faceName, face.data(), n);
  faceName[n] = 0;
  return static_cast<int>(n);
}
