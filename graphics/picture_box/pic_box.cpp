#include "graphics/picture_box/pic_box.h"

#include <algorithm>

#include "graphics/picture_box/border_style.h"
#include "graphics/picture_box/picture_layout.h"
#include "graphics/picture_box/picture_painting.h"
#include "graphics/pictures/pictures.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::pictures {

namespace {

constexpr const char* kClassName = "QuorlinPicBox";
constexpr int kMaxDisplayMode = 2;

int Clamp(int value, int maximum) { return std::clamp(value, 0, maximum); }

bool RegisterPicBoxClass(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
  }();
  return registered;
}

}  // namespace

std::unique_ptr<PicBox> PicBox::Create(HWND parent, int x, int y, int width, int height, DWORD style,
                                       const PicBoxSettings& settings) {
  if (!RegisterPicBoxClass(&PicBox::Procedure)) return nullptr;
  std::unique_ptr<PicBox> box(new PicBox);
  box->settings_ = settings;
  box->settings_.border = Clamp(settings.border, kMaxBorderStyle);
  box->settings_.displayMode = Clamp(settings.displayMode, kMaxDisplayMode);
  box->displayMode_ = box->settings_.displayMode;
  const HWND window = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_CLIPSIBLINGS | style, x, y, width, height,
                                      parent, 0, 0, box.get());
  if (!window) return nullptr;
  box->Load();
  ApplyBorderStyle(window, box->settings_.border);
  box->Repaint(false);
  return box;
}

PicBox::~PicBox() {
  StopAnimation();
  if (window_ && IsWindow(window_)) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

LRESULT PicBox::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* box = static_cast<PicBox*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
    box->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
    return DefWindowProcA(window, message, wParam, lParam);
  }
  auto* box = reinterpret_cast<PicBox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!box) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND: return 1;  // painting covers the whole client area
    case WM_PAINT: box->Paint(); return 0;
    case WM_DESTROY: box->StopAnimation(); break;  // nothing draws once the window goes
    case WM_NCDESTROY:
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      box->window_ = 0;
      break;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

COLORREF PicBox::EffectiveBackColor() const {
  return settings_.backColor == kSystemBackColor ? GetSysColor(COLOR_BTNFACE) : (settings_.backColor & 0x00FFFFFF);
}

void PicBox::Paint() {
  PAINTSTRUCT paint{};
  const HDC hdc = BeginPaint(window_, &paint);
  if (!hdc) return;
  RECT client{};
  GetClientRect(window_, &client);
  const COLORREF back = EffectiveBackColor();
  {
    std::lock_guard turn(drawingTurn_);
    if (animator_) {
      // The frame covers its rectangle; the background fills only what is around it.
      const RECT frame = LayoutPicture(static_cast<DisplayMode>(displayMode_.load()), client.right, client.bottom,
                                       animator_->width(), animator_->height());
      FillWithColour(hdc, RECT{0, 0, client.right, frame.top}, back);
      FillWithColour(hdc, RECT{0, frame.bottom, client.right, client.bottom}, back);
      FillWithColour(hdc, RECT{0, frame.top, frame.left, frame.bottom}, back);
      FillWithColour(hdc, RECT{frame.right, frame.top, client.right, frame.bottom}, back);
      animator_->PaintCurrent(hdc, client.right, client.bottom);
    } else {
      PaintStillPicture(hdc, still_.get(), static_cast<DisplayMode>(displayMode_.load()), client.right, client.bottom,
                        back);
    }
  }
  EndPaint(window_, &paint);
}

void PicBox::StopAnimation() {
  if (!animator_) return;
  animator_->Stop();  // returns once the worker has ended
  animator_.reset();
  animatedBytes_.reset();
}

bool PicBox::Load() {
  const std::vector<uint8_t>& bytes = settings_.picture;
  if (bytes.empty()) return false;
  std::unique_ptr<DecodedPicture> still = DecodePicture(bytes.data(), bytes.size());
  if (!still) return false;
  if (still->kind == PictureKind::Gif && settings_.animate && window_) {
    auto shared = std::make_shared<const std::vector<uint8_t>>(bytes);
    GifAnimator::Target target{window_, &drawingTurn_, &displayMode_, EffectiveBackColor()};
    animator_ = GifAnimator::Start(shared, target);
    if (animator_) {
      animatedBytes_ = std::move(shared);
      return true;
    }
    // A GIF too large to play shows its first image.
  }
  still_ = std::move(still);
  return true;
}

void PicBox::Repaint(bool now) {
  if (!window_) return;
  InvalidateRect(window_, nullptr, FALSE);
  if (now) UpdateWindow(window_);
}

void PicBox::SetBorder(int border) {
  settings_.border = Clamp(border, kMaxBorderStyle);
  if (window_) ApplyBorderStyle(window_, settings_.border);
}

void PicBox::SetBackColor(COLORREF colour) {
  settings_.backColor = colour;
  Repaint(false);
}

bool PicBox::SetPicture(std::vector<uint8_t> bytes) {
  StopAnimation();
  still_.reset();
  settings_.picture = std::move(bytes);
  const bool decoded = Load();
  Repaint(false);
  return decoded;
}

void PicBox::SetDisplayMode(int mode) {
  settings_.displayMode = Clamp(mode, kMaxDisplayMode);
  displayMode_ = settings_.displayMode;
  Repaint(true);
}

void PicBox::SetAnimate(bool animate) {
  const bool changed = settings_.animate != animate;
  settings_.animate = animate;
  if (!changed || settings_.picture.empty()) return;
  if (DetectPictureKind(settings_.picture.data(), settings_.picture.size()) != PictureKind::Gif) return;
  StopAnimation();
  still_.reset();
  Load();
  Repaint(false);
}

}  // namespace quorlin::pictures
