// The COMBOBOX class's closed box: a sunken field showing the current item (highlighted while
// the box has the focus) and the drop button.
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/combo_box_control_state.h"
#include "platform/user/control_classes.h"
#include "platform/user/draw_helpers.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::platform {

void PaintComboBox(HWND combo, ComboState& state) {
  PAINTSTRUCT ps;
  const HDC hdc = BeginPaint(combo, &ps);
  if (!hdc) return;
  const HFONT font = ControlFont(combo);
  const HGDIOBJ oldFont = font ? SelectObject(hdc, font) : 0;
  RECT client{};
  GetClientRect(combo, &client);
  const bool enabled = IsWindowEnabled(combo);

  RECT field = client;
  DrawEdge(hdc, &field, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  const HBRUSH brush = enabled ? ComboBrush(combo, hdc) : GetSysColorBrush(COLOR_BTNFACE);
  FillRect(hdc, &field, brush);

  RECT button = ComboButtonRect(combo);
  UINT look = DFCS_SCROLLCOMBOBOX;
  if (state.list) look |= DFCS_PUSHED;
  if (!enabled) look |= DFCS_INACTIVE;
  DrawFrameControl(hdc, &button, DFC_SCROLL, look);

  if (!state.edit) {
    RECT text{field.left + 1, field.top + 1, button.left - 1, field.bottom - 1};
    const bool highlighted = state.focused && !state.list && enabled;
    if (highlighted) {
      FillRect(hdc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else if (!enabled) {
      SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    }
    if (state.selected >= 0) {
      const std::string& item = state.items[static_cast<size_t>(state.selected)].text;
      RECT inner = text;
      inner.left += 2;
      SetBkMode(hdc, TRANSPARENT);
      DrawTextA(hdc, item.c_str(), static_cast<int>(item.size()), &inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (highlighted) DrawFocusRect(hdc, &text);
  }
  if (oldFont) SelectObject(hdc, oldFont);
  EndPaint(combo, &ps);
}

}  // namespace quorlin::platform
