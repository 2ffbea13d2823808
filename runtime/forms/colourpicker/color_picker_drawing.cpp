#include "runtime/forms/colourpicker/color_picker_drawing.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/draw_helpers.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/colourpicker/color_palette.h"

namespace quorlin::forms {
namespace {

int Edge() { return GetSystemMetrics(SM_CXEDGE); }

}  // namespace

COLORREF EffectiveColor(COLORREF stored, bool transparentAllowed) {
  return stored == kTransparentColor && !transparentAllowed ? RGB(0, 0, 0) : stored;
}

RECT PickerArrowRect(const RECT& client) {
  const int edge = Edge();
  const int width = std::max(5 * edge, GetSystemMetrics(SM_CXHTHUMB));
  return {std::max(client.left + edge, client.right - edge - width), client.top + edge, client.right - edge,
          client.bottom - edge};
}

RECT PickerSwatchRect(const RECT& client) {
  const RECT arrow = PickerArrowRect(client);
  RECT swatch{client.left, client.top, arrow.left, client.bottom};
  InflateRect(&swatch, -(Edge() + 2), -(Edge() + 2));
  return swatch;
}

void DrawColorPicker(HDC dc, const RECT& client, const PickerLook& look) {
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECT arrow = PickerArrowRect(client);
  UINT state = DFCS_SCROLLCOMBOBOX;
  if (look.droppedDown) state |= DFCS_PUSHED;
  if (!look.enabled) state |= DFCS_INACTIVE;
  DrawFrameControl(dc, &arrow, DFC_SCROLL, state);
  RECT frame = client;
  DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT);

  RECT swatch = PickerSwatchRect(client);
  if (IsRectEmpty(&swatch)) return;
  const COLORREF shown = EffectiveColor(look.color, look.transparentAllowed);
  const bool transparent = shown == kTransparentColor;
  COLORREF fill = transparent ? RGB(255, 255, 255) : shown;
  if (!look.enabled) fill = GetSysColor(COLOR_BTNFACE);
  const HBRUSH brush = CreateSolidBrush(fill);
  FillRect(dc, &swatch, brush);
  DeleteObject(brush);
  if (transparent) {
    const HGDIOBJ previous = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(look.enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    DrawTextA(dc, kTransparentText, -1, &swatch, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
  }
  if (look.focused) {
    RECT focus = swatch;
    InflateRect(&focus, -1, -1);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace quorlin::forms
