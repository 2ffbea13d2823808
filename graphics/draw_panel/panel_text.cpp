// SetWritePosition and the WriteText family: values written line by line from the write
// position, which advances as text is written.
#include <algorithm>
#include <string_view>
#include <vector>

#include "graphics/draw_panel/draw_panel.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"

namespace quorlin::drawpanel {
namespace {

// CR LF is one break; any other CR or LF is one break of its own.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

// y moved down by `pixels` device pixels, in the target's logical units.
LONG MoveDownPixels(HDC dc, POINT point, int pixels) {
  LPtoDP(dc, &point, 1);
  point.y += pixels;
  DPtoLP(dc, &point, 1);
  return point.y;
}

}  // namespace

void DrawPanel::SetWritePosition(Optional x, Optional y) {
  const POINT pixels = ToPixels(POINT{x.value_or(0), y.value_or(0)});
  if (x) writePosition_.x = pixels.x;
  if (y) writePosition_.y = pixels.y;
}

void DrawPanel::WriteText(std::span<const PanelText> values) { WriteValues(TextMode::Write, {}, {}, values); }

void DrawPanel::WriteTextAt(Optional x, Optional y, std::span<const PanelText> values) {
  WriteValues(TextMode::WriteAt, x, y, values);
}

void DrawPanel::WriteTextLine(std::span<const PanelText> values) { WriteValues(TextMode::Line, {}, {}, values); }

void DrawPanel::ScrollWriteTextLine(std::span<const PanelText> values) {
  WriteValues(TextMode::ScrollLine, {}, {}, values);
}

void DrawPanel::WriteValues(TextMode mode, Optional x, Optional y, std::span<const PanelText> values) {
  const bool lineMode = mode == TextMode::Line || mode == TextMode::ScrollLine;
  DrawOnTargets(Use::Text, [&](HDC dc, bool window) {
    POINT point = writePosition_;
    DPtoLP(dc, &point, 1);
    if (mode == TextMode::WriteAt) {
      if (x) point.x = *x;
      if (y) point.y = *y;
    }
    SIZE capitalW{0, 0};
    GetTextExtentPoint32A(dc, "W", 1, &capitalW);
    const int emptyLineHeight = capitalW.cy;

    for (const PanelText& value : values) {
      if (!value) continue;
      if (value->empty() && !lineMode) continue;
      const LONG startX = point.x;
      const std::vector<std::string_view> lines = SplitLines(*value);
      for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        SIZE size{0, emptyLineHeight};
        if (!line.empty()) GetTextExtentPoint32A(dc, line.data(), static_cast<int>(line.size()), &size);
        if (mode == TextMode::ScrollLine) ScrollForLine(dc, point, size.cy);
        if (!line.empty()) TextOutA(dc, point.x, point.y, line.data(), static_cast<int>(line.size()));
        if (i + 1 < lines.size() || lineMode) {
          point.y += size.cy;
          point.y = MoveDownPixels(dc, point, 2);
          point.x = startX;
        } else {
          point.x += size.cx;
        }
      }
    }
    if (window && mode != TextMode::WriteAt) {
      LPtoDP(dc, &point, 1);
      writePosition_ = point;
    }
  });
}

void DrawPanel::ScrollForLine(HDC dc, POINT& point, int lineHeight) {
  POINT bottom{point.x, point.y + lineHeight};
  LPtoDP(dc, &bottom, 1);
  const RECT client = ClientRect();
  if (bottom.y <= client.bottom) return;
  // Scrolled so that the line ends 2 pixels above the bottom.
  const int shift = bottom.y - (client.bottom - 2);
  SetMapMode(dc, MM_TEXT);
  const int width = client.right;
  const int height = client.bottom;
  if (shift < height) BitBlt(dc, 0, 0, width, height - shift, dc, 0, shift, SRCCOPY);
  const RECT strip{0, std::max(0, height - shift), width, height};
  const HBRUSH brush = CreateSolidBrush(EffectiveBackColor());
  FillRect(dc, &strip, brush);
  DeleteObject(brush);
  ApplyDrawingUnit(dc);
  point.y = MoveDownPixels(dc, point, -shift);
}

}  // namespace quorlin::drawpanel
