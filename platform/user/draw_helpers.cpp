#include "platform/user/draw_helpers.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/window_geometry.h"

namespace {

void FillColour(HDC hdc, int left, int top, int right, int bottom, int sysColour) {
  if (right <= left || bottom <= top) return;
  const RECT r{left, top, right, bottom};
  FillRect(hdc, &r, GetSysColorBrush(sysColour));
}

// One 1-pixel ring of an edge: the top and left lines first, then bottom and right over them.
void DrawRing(HDC hdc, const RECT& r, UINT sides, int topLeft, int bottomRight) {
  if (sides & BF_TOP) FillColour(hdc, r.left, r.top, r.right, r.top + 1, topLeft);
  if (sides & BF_LEFT) FillColour(hdc, r.left, r.top, r.left + 1, r.bottom, topLeft);
  if (sides & BF_BOTTOM) FillColour(hdc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
  if (sides & BF_RIGHT) FillColour(hdc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
}

RECT Shrink(const RECT& r, UINT sides) {
  RECT out = r;
  if (sides & BF_LEFT) ++out.left;
  if (sides & BF_TOP) ++out.top;
  if (sides & BF_RIGHT) --out.right;
  if (sides & BF_BOTTOM) --out.bottom;
  return out;
}

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Length of the character starting at i: 2 for a complete double-byte character, else 1.
size_t CharLength(const std::string& s, size_t i) {
  return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// A line with its prefix marks removed and the byte range to underline.
struct TextLine {
  std::string text;
  size_t underlineAt = std::string::npos;
  size_t underlineLength = 0;
};

TextLine StripPrefix(const std::string& raw, bool prefixes) {
  TextLine line;
  if (!prefixes) {
    line.text = raw;
    return line;
  }
  for (size_t i = 0; i < raw.size();) {
    if (raw[i] == '&' && i + 1 < raw.size()) {
      ++i;
      if (raw[i] != '&' && line.underlineAt == std::string::npos) {
        line.underlineAt = line.text.size();
        line.underlineLength = CharLength(raw, i);
      }
    } else if (raw[i] == '&') {
      ++i;  // a trailing '&' marks nothing
      continue;
    }
    const size_t n = CharLength(raw, i);
    line.text.append(raw, i, n);
    i += n;
  }
  return line;
}

int Width(HDC hdc, const std::string& s, size_t from, size_t count) {
  if (count == 0) return 0;
  SIZE size{};
  GetTextExtentPoint32A(hdc, s.data() + from, static_cast<int>(count), &size);
  return size.cx;
}

// Breaks one paragraph to `width`: after a space run, before and after a double-byte
// character, and inside a word only when the word alone is too wide.
void WrapParagraph(HDC hdc, const std::string& para, int width, std::vector<std::string>& out) {
  size_t start = 0;
  while (start < para.size()) {
    size_t lastBreak = std::string::npos;  // end of the line if broken at the last opportunity
    size_t i = start;
    size_t fitEnd = start;
    while (i < para.size()) {
      const size_t n = CharLength(para, i);
      if (Width(hdc, para, start, i + n - start) > width && i > start) break;
      const bool doubleByte = n == 2;
      if (doubleByte && i > start) lastBreak = i;
      i += n;
      fitEnd = i;
      if (para[i - 1] == ' ' || doubleByte) lastBreak = i;
    }
    if (fitEnd < para.size() && (para[fitEnd] == ' ' || CharLength(para, fitEnd) == 2)) lastBreak = fitEnd;
    size_t end = fitEnd;
    if (fitEnd < para.size() && lastBreak != std::string::npos && lastBreak > start) end = lastBreak;
    std::string line = para.substr(start, end - start);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out.push_back(line);
    start = end;
    while (start < para.size() && para[start] == ' ') ++start;  // spaces at a break vanish
  }
  if (para.empty()) out.emplace_back();
}

}  // namespace

BOOL DrawEdge(HDC hdc, RECT* rect, UINT edge, UINT flags) {
  if (!rect) return FALSE;
  const UINT sides = flags & BF_RECT;
  RECT r = *rect;
  if (flags & (BF_FLAT | BF_MONO)) {
    DrawRing(hdc, r, sides, (flags & BF_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW,
             (flags & BF_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW);
    r = Shrink(r, sides);
    if (flags & BF_MIDDLE) FillColour(hdc, r.left, r.top, r.right, r.bottom, COLOR_WINDOW);
  } else {
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
      if (edge & BDR_RAISEDOUTER) DrawRing(hdc, r, sides, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
      else DrawRing(hdc, r, sides, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
      r = Shrink(r, sides);
    }
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
      if (edge & BDR_RAISEDINNER) DrawRing(hdc, r, sides, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
      else DrawRing(hdc, r, sides, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
      r = Shrink(r, sides);
    }
    if (flags & BF_MIDDLE) FillColour(hdc, r.left, r.top, r.right, r.bottom, COLOR_BTNFACE);
  }
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
  if (!rect || rect->right <= rect->left || rect->bottom <= rect->top) return FALSE;
  const RECT& r = *rect;
  auto dot = [&](int x, int y) {
    if (((x - r.left) + (y - r.top)) % 2 == 0) PatBlt(hdc, x, y, 1, 1, DSTINVERT);
  };
  // Each outline pixel once, so a one-pixel-thin rectangle is not inverted back.
  for (int x = r.left; x < r.right; ++x) dot(x, r.top);
  if (r.bottom - 1 > r.top) {
    for (int x = r.left; x < r.right; ++x) dot(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    dot(r.left, y);
    if (r.right - 1 > r.left) dot(r.right - 1, y);
  }
  return TRUE;
}

namespace {

// Tab stops every eight columns; a double-byte character takes two columns, as it is about two
// average characters wide.
std::string ExpandTabs(const std::string& text) {
  constexpr size_t kTabColumns = 8;
  std::string out;
  for (char c : text) {
    if (c == '\t') {
      out.append(kTabColumns - out.size() % kTabColumns, ' ');
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

int DrawTextA(HDC hdc, LPCSTR text, int length, RECT* rect, UINT format) {
  if (!rect) return 0;
  const std::string all = text ? std::string(text, length < 0 ? std::strlen(text) : static_cast<size_t>(length))
                               : std::string();
  std::vector<std::string> raw;
  if (format & DT_SINGLELINE) {
    raw.push_back(all);
  } else {
    size_t start = 0;
    for (;;) {
      const size_t nl = all.find('\n', start);
      std::string para = all.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
      if (!para.empty() && para.back() == '\r') para.pop_back();
      raw.push_back(para);
      if (nl == std::string::npos) break;
      start = nl + 1;
    }
  }
  if (format & DT_EXPANDTABS) {
    for (std::string& para : raw) para = ExpandTabs(para);
  }
  const bool prefixes = !(format & DT_NOPREFIX);
  std::vector<TextLine> lines;
  for (const std::string& para : raw) {
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
      // Marks are stripped before wrapping so widths are those of the drawn text.
      const TextLine stripped = StripPrefix(para, prefixes);
      std::vector<std::string> wrapped;
      WrapParagraph(hdc, stripped.text, std::max(1, static_cast<int>(rect->right - rect->left)), wrapped);
      size_t offset = 0;
      for (std::string& piece : wrapped) {
        const size_t at = stripped.text.find(piece, offset);
        TextLine line;
        line.text = std::move(piece);
        if (at != std::string::npos) {
          if (stripped.underlineAt != std::string::npos && stripped.underlineAt >= at &&
              stripped.underlineAt < at + line.text.size()) {
            line.underlineAt = stripped.underlineAt - at;
            line.underlineLength = stripped.underlineLength;
          }
          offset = at + line.text.size();
        }
        lines.push_back(std::move(line));
      }
    } else {
      lines.push_back(StripPrefix(para, prefixes));
    }
  }

  TEXTMETRICA metrics{};
  GetTextMetricsA(hdc, &metrics);
  const int lineHeight = metrics.tmHeight;
  const int totalHeight = lineHeight * static_cast<int>(lines.size());
  int widest = 0;
  for (const TextLine& line : lines) widest = std::max(widest, Width(hdc, line.text, 0, line.text.size()));

  int y = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect->top + (rect->bottom - rect->top - totalHeight) / 2;
    else if (format & DT_BOTTOM) y = rect->bottom - totalHeight;
  }
  if (format & DT_CALCRECT) {
    if (format & DT_CENTER) {
      const int mid = (rect->left + rect->right) / 2;
      rect->left = mid - widest / 2;
      rect->right = rect->left + widest;
    } else if (format & DT_RIGHT) {
      rect->left = rect->right - widest;
    } else {
      rect->right = rect->left + widest;
    }
    rect->bottom = rect->top + totalHeight;
    return totalHeight;
  }

  const int saved = SaveDC(hdc);
  if (!(format & DT_NOCLIP)) IntersectClipRect(hdc, rect->left, rect->top, rect->right, rect->bottom);
  const UINT oldAlign = SetTextAlign(hdc, TA_LEFT | TA_TOP);
  for (const TextLine& line : lines) {
    const int w = Width(hdc, line.text, 0, line.text.size());
    int x = rect->left;
    if (format & DT_CENTER) x = rect->left + (rect->right - rect->left - w) / 2;
    else if (format & DT_RIGHT) x = rect->right - w;
    TextOutA(hdc, x, y, line.text.data(), static_cast<int>(line.text.size()));
    if (line.underlineAt != std::string::npos) {
      const int ux = x + Width(hdc, line.text, 0, line.underlineAt);
      const int uw = Width(hdc, line.text, line.underlineAt, line.underlineLength);
      const int uy = y + metrics.tmAscent + 1;
      const HBRUSH pen = CreateSolidBrush(GetTextColor(hdc));
      const RECT under{ux, uy, ux + uw, uy + 1};
      FillRect(hdc, &under, pen);
      DeleteObject(pen);
    }
    y += lineHeight;
  }
  SetTextAlign(hdc, oldAlign);
  RestoreDC(hdc, saved);
  return totalHeight;
}

namespace {

// A solid triangle pointing in `direction` centred in r, `size` pixels from base to tip.
void DrawArrow(HDC hdc, const RECT& r, UINT direction, int colour) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int size = std::max(1, (std::min(w, h) - 4) / 3 + 1);
  const int cx = r.left + w / 2, cy = r.top + h / 2;
  for (int i = 0; i < size; ++i) {
    const int half = i;  // row i from the tip is 2i+1 wide
    switch (direction) {
      case DFCS_SCROLLUP: {
        const int y = cy - size / 2 + i;
        FillColour(hdc, cx - half, y, cx + half + 1, y + 1, colour);
        break;
      }
      case DFCS_SCROLLDOWN:
      case DFCS_SCROLLCOMBOBOX: {
        const int y = cy + (size - 1) / 2 - i;
        FillColour(hdc, cx - half, y, cx + half + 1, y + 1, colour);
        break;
      }
      case DFCS_SCROLLLEFT: {
        const int x = cx - size / 2 + i;
        FillColour(hdc, x, cy - half, x + 1, cy + half + 1, colour);
        break;
      }
      case DFCS_SCROLLRIGHT: {
        const int x = cx + (size - 1) / 2 - i;
        FillColour(hdc, x, cy - half, x + 1, cy + half + 1, colour);
        break;
      }
      default: break;
    }
  }
}

// The classic check mark: a 7-pixel-wide stroke three pixels thick.
void DrawCheckMark(HDC hdc, const RECT& box, int colour) {
  static constexpr int kTop[7] = {2, 3, 4, 3, 2, 1, 0};
  const int left = box.left + (box.right - box.left - 7) / 2;
  const int top = box.top + (box.bottom - box.top - 7) / 2;
  for (int i = 0; i < 7; ++i) FillColour(hdc, left + i, top + kTop[i], left + i + 1, top + kTop[i] + 3, colour);
}

}  // namespace

BOOL DrawFrameControl(HDC hdc, RECT* rect, UINT type, UINT state) {
  if (!rect) return FALSE;
  RECT r = *rect;
  const bool pushed = state & DFCS_PUSHED;
  const bool inactive = state & DFCS_INACTIVE;
  if (type == DFC_SCROLL) {
    if (pushed) DrawEdge(hdc, &r, 0, BF_RECT | BF_FLAT | BF_ADJUST);
    if (pushed) FillColour(hdc, r.left, r.top, r.right, r.bottom, COLOR_BTNFACE);
    else DrawEdge(hdc, &r, (state & DFCS_FLAT) ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    if (pushed) OffsetRect(&r, 1, 1);
    if (inactive) {
      RECT embossed = r;
      OffsetRect(&embossed, 1, 1);
      DrawArrow(hdc, embossed, state & 0xF, COLOR_BTNHIGHLIGHT);
      DrawArrow(hdc, r, state & 0xF, COLOR_BTNSHADOW);
    } else {
      DrawArrow(hdc, r, state & 0xF, COLOR_BTNTEXT);
    }
    return TRUE;
  }
  if (type == DFC_BUTTON) {
    if (state & DFCS_BUTTONPUSH) {
      DrawEdge(hdc, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
      return TRUE;
    }
    if ((state & 0xF) == DFCS_BUTTONCHECK) {
      DrawEdge(hdc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
      FillColour(hdc, r.left, r.top, r.right, r.bottom, (pushed || inactive) ? COLOR_BTNFACE : COLOR_WINDOW);
      if (state & DFCS_CHECKED) DrawCheckMark(hdc, r, inactive ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
      return TRUE;
    }
  }
  return FALSE;
}
