// The EDIT class's layout and drawing: lines of text in the field's font, scrolled so that
// the caret stays in view, the selection highlighted while the field has the focus.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/control_classes.h"
#include "platform/user/edit_control_caret.h"
#include "platform/user/edit_control_state.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::platform {
namespace {

constexpr int kMargin = 1;

// A memory device context with the field's font, for measuring without touching the screen.
class MeasuringDC {
 public:
  explicit MeasuringDC(HWND hwnd) : hdc_(CreateCompatibleDC(0)) {
    if (const HFONT font = ControlFont(hwnd)) SelectObject(hdc_, font);
  }
  ~MeasuringDC() { DeleteDC(hdc_); }
  MeasuringDC(const MeasuringDC&) = delete;
  MeasuringDC& operator=(const MeasuringDC&) = delete;
  operator HDC() const { return hdc_; }

 private:
  HDC hdc_;
};

// The bytes shown for [from, to): the text itself, or one password character per character.
std::string Shown(HWND hwnd, const EditState& state, size_t from, size_t to) {
  const std::string_view part = std::string_view(state.text.Text()).substr(from, to - from);
  if (!IsPassword(hwnd, state)) return std::string(part);
  return std::string(GbkCharacterCount(part), state.passwordChar);
}

int WidthOf(HDC hdc, const std::string& shown) {
  if (shown.empty()) return 0;
  SIZE size{};
  GetTextExtentPoint32A(hdc, shown.data(), static_cast<int>(shown.size()), &size);
  return size.cx;
}

int LineHeightOf(HDC hdc) {
  TEXTMETRICA metrics{};
  GetTextMetricsA(hdc, &metrics);
  return metrics.tmHeight > 0 ? metrics.tmHeight : 1;
}

size_t LineOf(const std::vector<EditText::Line>& lines, size_t position) {
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (position <= lines[i].end) return i;
  }
  return lines.size() - 1;
}

// Where a line's text starts: aligned by ES_CENTER / ES_RIGHT while it fits, scrolled otherwise.
int LineX(HWND hwnd, const EditState& state, HDC hdc, const EditText::Line& line) {
  const RECT format = EditFormatRect(hwnd);
  const int room = format.right - format.left;
  const int width = WidthOf(hdc, Shown(hwnd, state, line.start, line.end));
  if (width < room) {
    const DWORD style = EditStyle(hwnd);
    if (style & ES_RIGHT) return format.right - width;
    if (style & ES_CENTER) return format.left + (room - width) / 2;
    return format.left;
  }
  return format.left - state.scrollX;
}

int LineY(HWND hwnd, const EditState& state, HDC hdc, size_t lineIndex) {
  return EditFormatRect(hwnd).top + (static_cast<int>(lineIndex) - static_cast<int>(state.firstLine)) * LineHeightOf(hdc);
}

// The parent chooses colours and brush: WM_CTLCOLOREDIT, or WM_CTLCOLORSTATIC for a field the
// user cannot change.
HBRUSH FieldBrush(HWND hwnd, HDC hdc) {
  const bool fixed = (EditStyle(hwnd) & ES_READONLY) || !IsWindowEnabled(hwnd);
  const int back = fixed ? COLOR_BTNFACE : COLOR_WINDOW;
  SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(hdc, GetSysColor(back));
  LRESULT brush = 0;
  if (const HWND parent = GetParent(hwnd)) {
    brush = SendMessageA(parent, fixed ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, static_cast<WPARAM>(hdc),
                         static_cast<LPARAM>(hwnd));
  }
  if (!IsWindowEnabled(hwnd)) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  return brush ? static_cast<HBRUSH>(brush) : GetSysColorBrush(back);
}

}  // namespace

int EditLineHeight(HWND hwnd) {
  MeasuringDC hdc(hwnd);
  return LineHeightOf(hdc);
}

RECT EditFormatRect(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  RECT format{client.left + kMargin, client.top + kMargin, client.right - kMargin, client.bottom - kMargin};
  if (format.right < format.left) format.right = format.left;
  if (format.bottom < format.top) format.bottom = format.top;
  return format;
}

POINT EditPositionPoint(HWND hwnd, const EditState& state, size_t position) {
  MeasuringDC hdc(hwnd);
  const auto lines = state.text.Lines(IsMultiLine(hwnd));
  const size_t index = LineOf(lines, position);
  const EditText::Line& line = lines[index];
  position = std::clamp(position, line.start, line.end);
  return POINT{LineX(hwnd, state, hdc, line) + WidthOf(hdc, Shown(hwnd, state, line.start, position)),
               LineY(hwnd, state, hdc, index)};
}

size_t EditPositionFromPoint(HWND hwnd, const EditState& state, POINT point) {
  MeasuringDC hdc(hwnd);
  const auto lines = state.text.Lines(IsMultiLine(hwnd));
  const int height = LineHeightOf(hdc);
  const int row = (point.y - EditFormatRect(hwnd).top) / height + static_cast<int>(state.firstLine);
  const size_t index = point.y < EditFormatRect(hwnd).top && state.firstLine == 0
                           ? 0
                           : static_cast<size_t>(std::clamp(row, 0, static_cast<int>(lines.size()) - 1));
  const EditText::Line& line = lines[index];
  const int x = point.x - LineX(hwnd, state, hdc, line);
  // Prefix widths grow with the position: a binary search finds the last character boundary
  // left of x, in a logarithmic number of measurements even for long lines.
  std::vector<size_t> boundaries{line.start};
  for (size_t position = line.start; position < line.end;) {
    position = std::min(state.text.Next(position), line.end);
    boundaries.push_back(position);
  }
  const auto widthAt = [&](size_t i) { return WidthOf(hdc, Shown(hwnd, state, line.start, boundaries[i])); };
  size_t low = 0;
  size_t high = boundaries.size() - 1;
  while (low < high) {
    const size_t middle = (low + high + 1) / 2;
    if (widthAt(middle) <= x) low = middle;
    else high = middle - 1;
  }
  if (low + 1 < boundaries.size()) {
    // Past the middle of the next character: the caret goes after it.
    const int left = widthAt(low);
    if (x >= (left + widthAt(low + 1) + 1) / 2) ++low;
  }
  return boundaries[low];
}

int EditTextWidth(HWND hwnd, const EditState& state) {
  MeasuringDC hdc(hwnd);
  return WidthOf(hdc, Shown(hwnd, state, 0, state.text.Size()));
}

void EditScrollToCaret(HWND hwnd, EditState& state) {
  MeasuringDC hdc(hwnd);
  const bool multiLine = IsMultiLine(hwnd);
  const auto lines = state.text.Lines(multiLine);
  const size_t index = LineOf(lines, state.text.Caret());
  const EditText::Line& line = lines[index];
  const RECT format = EditFormatRect(hwnd);
  const int room = format.right - format.left;
  bool scrolled = false;

  int scrollX = state.scrollX;
  const int lineWidth = WidthOf(hdc, Shown(hwnd, state, line.start, line.end));
  const int caretX = WidthOf(hdc, Shown(hwnd, state, line.start, state.text.Caret()));
  if (lineWidth < room && !multiLine) {
    scrollX = 0;
  } else if (caretX < scrollX) {
    scrollX = std::max(0, caretX - room / 3);
  } else if (caretX >= scrollX + room) {
    scrollX = caretX - room + room / 3;
  }
  scrollX = std::clamp(scrollX, 0, std::max(0, lineWidth - room + 1));
  if (scrollX != state.scrollX) {
    state.scrollX = scrollX;
    scrolled = true;
  }

  if (multiLine) {
    const int height = LineHeightOf(hdc);
    const size_t visible = static_cast<size_t>(std::max(1, (format.bottom - format.top) / height));
    size_t first = std::min(state.firstLine, lines.size() - 1);
    if (index < first) first = index;
    if (index >= first + visible) first = index - visible + 1;
    if (first != state.firstLine) {
      state.firstLine = first;
      scrolled = true;
    }
  }
  if (scrolled) InvalidateRect(hwnd, nullptr, FALSE);
  if (state.focused) {
    const POINT caret = EditPositionPoint(hwnd, state, state.text.Caret());
    SetCaretPos(caret.x, caret.y);
  }
}

void PaintEdit(HWND hwnd, EditState& state) {
  PAINTSTRUCT ps;
  const HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  const HFONT font = ControlFont(hwnd);
  const HGDIOBJ oldFont = font ? SelectObject(hdc, font) : 0;
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, FieldBrush(hwnd, hdc));
  const COLORREF textColour = GetTextColor(hdc);

  const RECT format = EditFormatRect(hwnd);
  const int saved = SaveDC(hdc);
  IntersectClipRect(hdc, format.left, format.top, format.right, format.bottom);
  SetBkMode(hdc, TRANSPARENT);
  const int height = LineHeightOf(hdc);
  const auto lines = state.text.Lines(IsMultiLine(hwnd));
  const bool showSelection = state.text.HasSelection() && (state.focused || (EditStyle(hwnd) & ES_NOHIDESEL));
  const size_t selStart = state.text.SelectionStart();
  const size_t selEnd = state.text.SelectionEnd();
  for (size_t i = state.firstLine; i < lines.size(); ++i) {
    const int y = LineY(hwnd, state, hdc, i);
    if (y >= format.bottom) break;
    const EditText::Line& line = lines[i];
    const int x = LineX(hwnd, state, hdc, line);
    const std::string shown = Shown(hwnd, state, line.start, line.end);
    SetTextColor(hdc, textColour);
    TextOutA(hdc, x, y, shown.data(), static_cast<int>(shown.size()));
    if (!showSelection || selEnd < line.start || selStart > line.end) continue;
    const size_t from = std::max(selStart, line.start);
    const size_t to = std::min(selEnd, line.end);
    const int left = x + WidthOf(hdc, Shown(hwnd, state, line.start, from));
    const std::string selected = Shown(hwnd, state, from, to);
    const RECT band{left, y, left + WidthOf(hdc, selected), y + height};
    FillRect(hdc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    TextOutA(hdc, left, y, selected.data(), static_cast<int>(selected.size()));
  }
  RestoreDC(hdc, saved);
  DrawCaret(hwnd, hdc);
  if (oldFont) SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

}  // namespace quorlin::platform
