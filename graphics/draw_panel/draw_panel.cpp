// The panel's window, its properties and the drawing state every operation starts from.
#include "graphics/draw_panel/draw_panel.h"

#include <algorithm>
#include <cstring>

#include "graphics/draw_panel/drawable_cache.h"
#include "graphics/draw_panel/panel_drawing_objects.h"
#include "graphics/draw_panel/panel_font.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/cursors.h"
#include "platform/user/messages.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::drawpanel {
namespace {

struct CreateParams {
  const PanelProperties* properties;
};

}  // namespace

LRESULT DrawPanel::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    const auto* params = static_cast<const CreateParams*>(create->lpCreateParams);
    if (!params) return FALSE;
    auto* panel = new DrawPanel(hwnd, *params->properties);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(panel));
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  DrawPanel* panel = FromWindow(hwnd);
  if (!panel) return DefWindowProcA(hwnd, message, wParam, lParam);
  return panel->Handle(message, wParam, lParam);
}

HWND DrawPanel::Create(const PanelProperties& properties, HWND parent, int x, int y, int width, int height,
                       DWORD style, int id) {
  static const bool registered = [] {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &DrawPanel::WindowProc;
    wc.hCursor = LoadCursorA(0, IDC_ARROW);
    wc.lpszClassName = kDrawPanelClassName;
    return RegisterClassA(&wc) != 0;
  }();
  if (!registered) return 0;
  PanelProperties clamped = properties;
  ClampAll(clamped);
  CreateParams params{&clamped};
  const HWND hwnd = CreateWindowExA(0, kDrawPanelClassName, "", style | WS_CHILD | WS_CLIPSIBLINGS, x, y, width,
                                    height, parent, static_cast<HMENU>(id), 0, &params);
  if (!hwnd) return 0;
  if (DrawPanel* panel = FromWindow(hwnd)) panel->ApplyBorder();
  return hwnd;
}

DrawPanel* DrawPanel::FromWindow(HWND hwnd) {
  char className[32] = {};
  if (!IsWindow(hwnd) || GetClassNameA(hwnd, className, sizeof className) == 0) return nullptr;
  if (strcasecmp(className, kDrawPanelClassName) != 0) return nullptr;
  return reinterpret_cast<DrawPanel*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

DrawPanel::DrawPanel(HWND hwnd, const PanelProperties& properties) : hwnd_(hwnd), props_(properties) {
  RebuildPen();
  RebuildBrush();
  RebuildFont();
}

DrawPanel::~DrawPanel() {
  DiscardImage();
  if (pen_) DeleteObject(pen_);
  if (brush_) DeleteObject(brush_);
  if (font_) DeleteObject(font_);
}

LRESULT DrawPanel::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      Resized();
      return 0;
    case WM_NCDESTROY: {
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      destroyed_ = true;
      // A paint handler that destroys the panel returns into Paint(), which deletes it.
      if (eventDepth_ == 0) delete this;
      return 0;
    }
    default:
      return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

void DrawPanel::Resized() {
  if (props_.autoRedraw) RebuildImage(true);
  writePosition_ = POINT{0, 0};
}

// --- properties -----------------------------------------------------------------------------

bool DrawPanel::IsBytesProperty(PanelProperty property) {
  return property == PanelProperty::BackPicture || property == PanelProperty::Font;
}

int32_t DrawPanel::ReadInteger(PanelProperty property) const {
  const auto colour = [](uint32_t value) { return static_cast<int32_t>(value); };
  switch (property) {
    case PanelProperty::Border: return props_.border;
    case PanelProperty::BackColor: return colour(props_.backColor);
    case PanelProperty::BackPictureMode: return props_.backPictureMode;
    case PanelProperty::AutoRedraw: return props_.autoRedraw ? 1 : 0;
    case PanelProperty::DrawingUnit: return props_.drawingUnit;
    case PanelProperty::PenType: return props_.penType;
    case PanelProperty::DrawMode: return props_.drawMode;
    case PanelProperty::PenWidth: return props_.penWidth;
    case PanelProperty::PenColor: return colour(props_.penColor);
    case PanelProperty::BrushType: return props_.brushType;
    case PanelProperty::BrushColor: return colour(props_.brushColor);
    case PanelProperty::TextColor: return colour(props_.textColor);
    case PanelProperty::TextBackColor: return colour(props_.textBackColor);
    case PanelProperty::ClientWidth:
    case PanelProperty::ClientHeight: {
      const RECT client = ClientRect();
      const HDC dc = GetDC(hwnd_);
      if (!dc) return 0;
      ApplyDrawingUnit(dc);
      POINT corner{client.right, client.bottom};
      DPtoLP(dc, &corner, 1);
      ReleaseDC(hwnd_, dc);
      return property == PanelProperty::ClientWidth ? corner.x : corner.y;
    }
    default: return 0;
  }
}

std::vector<uint8_t> DrawPanel::ReadBytes(PanelProperty property) const {
  if (property == PanelProperty::BackPicture) return props_.backPicture;
  if (property == PanelProperty::Font) return props_.font;
  return {};
}

void DrawPanel::WriteInteger(PanelProperty property, int32_t value) {
  value = ClampPropertyValue(property, value);
  const auto colour = static_cast<uint32_t>(value);
  // Changes a stored field; true when the value differs from the stored one.
  const auto change = [](auto& field, auto newValue) {
    if (field == newValue) return false;
    field = newValue;
    return true;
  };
  switch (property) {
    case PanelProperty::Border:
      props_.border = value;
      ApplyBorder();
      break;
    case PanelProperty::BackColor:
      if (change(props_.backColor, colour)) {
        drawable_.reset();
        if (props_.autoRedraw) RebuildImage(false);
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      break;
    case PanelProperty::BackPictureMode:
      if (change(props_.backPictureMode, value)) InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case PanelProperty::AutoRedraw:
      if (change(props_.autoRedraw, value != 0)) {
        if (props_.autoRedraw) RebuildImage(false);
        else DiscardImage();
      }
      break;
    case PanelProperty::DrawingUnit:
      if (change(props_.drawingUnit, value)) RebuildFont();
      break;
    case PanelProperty::PenType:
      if (change(props_.penType, value)) RebuildPen();
      break;
    case PanelProperty::DrawMode: props_.drawMode = value; break;
    case PanelProperty::PenWidth:
      if (change(props_.penWidth, value)) RebuildPen();
      break;
    case PanelProperty::PenColor:
      if (change(props_.penColor, colour)) RebuildPen();
      break;
    case PanelProperty::BrushType:
      if (change(props_.brushType, value)) RebuildBrush();
      break;
    case PanelProperty::BrushColor:
      if (change(props_.brushColor, colour)) RebuildBrush();
      break;
    case PanelProperty::TextColor: props_.textColor = colour; break;
    case PanelProperty::TextBackColor: props_.textBackColor = colour; break;
    default: break;  // bytes properties and the read-only client size
  }
}

void DrawPanel::WriteBytes(PanelProperty property, std::span<const uint8_t> bytes) {
  if (property == PanelProperty::BackPicture) {
    props_.backPicture.assign(bytes.begin(), bytes.end());
    DropPicture();
    if (props_.autoRedraw) RebuildImage(false);
    InvalidateRect(hwnd_, nullptr, FALSE);
  } else if (property == PanelProperty::Font) {
    props_.font.assign(bytes.begin(), bytes.end());
    RebuildFont();
  }
}

// --- drawing state --------------------------------------------------------------------------

void DrawPanel::RebuildPen() {
  if (pen_) DeleteObject(pen_);
  pen_ = CreatePanelPen(props_.penType, props_.penWidth, props_.penColor);
}

void DrawPanel::RebuildBrush() {
  if (brush_) DeleteObject(brush_);
  brush_ = CreatePanelBrush(props_.brushType, props_.brushColor);
}

void DrawPanel::RebuildFont() {
  if (font_) DeleteObject(font_);
  font_ = CreatePanelFont(props_.font, props_.drawingUnit);
}

void DrawPanel::ApplyBorder() {
  constexpr DWORD kEdges = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
  DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)) & ~WS_BORDER;
  DWORD exStyle = static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)) & ~kEdges;
  switch (props_.border) {
    case 1: exStyle |= WS_EX_CLIENTEDGE; break;
    case 2: exStyle |= WS_EX_DLGMODALFRAME; break;
    case 3: exStyle |= WS_EX_STATICEDGE; break;
    case 4: exStyle |= WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME; break;
    case 5: style |= WS_BORDER; break;
    default: break;
  }
  SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG>(style));
  SetWindowLongA(hwnd_, GWL_EXSTYLE, static_cast<LONG>(exStyle));
  SetWindowPos(hwnd_, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

COLORREF DrawPanel::EffectiveBackColor() const {
  return props_.backColor == kDefaultColor ? GetSysColor(COLOR_BTNFACE) : (props_.backColor & 0x00FFFFFF);
}

void DrawPanel::ApplyDrawingUnit(HDC dc) const {
  static constexpr int kFixedModes[6] = {MM_TEXT, MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH, MM_HIENGLISH, MM_TWIPS};
  SetMapMode(dc, MM_TEXT);
  if (props_.drawingUnit < 1 || props_.drawingUnit > 5) return;
  SetMapMode(dc, kFixedModes[props_.drawingUnit]);
  SetMapMode(dc, MM_ANISOTROPIC);
  SIZE extent{};
  GetWindowExtEx(dc, &extent);
  SetWindowExtEx(dc, extent.cx, -extent.cy, nullptr);
  SetViewportOrgEx(dc, 0, 0, nullptr);
  SetWindowOrgEx(dc, 0, 0, nullptr);
}

void DrawPanel::PrepareTarget(HDC dc, Use use) const {
  ApplyDrawingUnit(dc);
  SelectObject(dc, pen_ ? pen_ : GetStockObject(BLACK_PEN));
  SelectObject(dc, brush_ ? brush_ : GetStockObject(WHITE_BRUSH));
  SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, (use == Use::Text ? props_.textColor : props_.brushColor) & 0x00FFFFFF);
  if (props_.textBackColor == kDefaultColor) {
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, EffectiveBackColor());
  } else {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, props_.textBackColor & 0x00FFFFFF);
  }
  SetROP2(dc, props_.drawMode + 1);
  SetStretchBltMode(dc, GetDeviceCaps(dc, BITSPIXEL) > 16 ? HALFTONE : COLORONCOLOR);
  SetPolyFillMode(dc, WINDING);
}

void DrawPanel::RestoreTarget(HDC dc) {
  SetMapMode(dc, MM_TEXT);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
}

HDC DrawPanel::AcquireWindowDC() const { return paintTarget_ ? paintTarget_ : GetDC(hwnd_); }

void DrawPanel::ReleaseWindowDC(HDC dc) const {
  if (dc && dc != paintTarget_) ReleaseDC(hwnd_, dc);
}

void DrawPanel::DrawOnTargets(Use use, const std::function<void(HDC dc, bool window)>& draw) {
  if (props_.autoRedraw && imageDC_) {
    PrepareTarget(imageDC_, use);
    draw(imageDC_, false);
    RestoreTarget(imageDC_);
  }
  const HDC dc = AcquireWindowDC();
  if (!dc) return;
  PrepareTarget(dc, use);
  draw(dc, true);
  RestoreTarget(dc);
  ReleaseWindowDC(dc);
}

POINT DrawPanel::ToPixels(POINT logical) const {
  if (props_.drawingUnit == 0) return logical;
  const HDC dc = GetDC(hwnd_);
  if (!dc) return logical;
  ApplyDrawingUnit(dc);
  LPtoDP(dc, &logical, 1);
  SetMapMode(dc, MM_TEXT);
  ReleaseDC(hwnd_, dc);
  return logical;
}

RECT DrawPanel::ClientRect() const {
  RECT client{0, 0, 0, 0};
  GetClientRect(hwnd_, &client);
  return client;
}

// --- painting -------------------------------------------------------------------------------

void DrawPanel::Paint() {
  PAINTSTRUCT ps{};
  const HDC dc = BeginPaint(hwnd_, &ps);
  if (!dc) return;
  const RECT client = ClientRect();
  RECT invalid{};
  if (!IntersectRect(&invalid, &ps.rcPaint, &client)) {
    EndPaint(hwnd_, &ps);
    return;
  }
  if (imageDC_) {
    const RECT imageRect{0, 0, imageSize_.cx, imageSize_.cy};
    RECT part{};
    if (IntersectRect(&part, &invalid, &imageRect)) {
      BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, imageDC_, part.left, part.top,
             SRCCOPY);
    }
    EndPaint(hwnd_, &ps);
    return;
  }
  FillBackground(dc, invalid);
  ApplyDrawingUnit(dc);
  POINT corners[2] = {{invalid.left, invalid.top}, {invalid.right, invalid.bottom}};
  DPtoLP(dc, corners, 2);
  SetMapMode(dc, MM_TEXT);
  const HDC outerTarget = paintTarget_;
  const RECT outerInvalid = invalidRect_;
  paintTarget_ = dc;
  invalidRect_ = invalid;
  const POINT saved = writePosition_;
  writePosition_ = POINT{0, 0};
  if (sink_) {
    const int32_t arguments[4] = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    ++eventDepth_;
    // The sink may be replaced or the panel destroyed while it runs.
    PanelEventSink sink = sink_;
    sink(*this, kPaintEvent, arguments);
    --eventDepth_;
  }
  if (destroyed_) {
    EndPaint(hwnd_, &ps);
    if (eventDepth_ == 0) delete this;
    return;
  }
  writePosition_ = saved;
  paintTarget_ = outerTarget;
  invalidRect_ = outerInvalid;
  RestoreTarget(dc);
  EndPaint(hwnd_, &ps);
}

}  // namespace quorlin::drawpanel
