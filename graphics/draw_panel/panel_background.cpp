// The background fill in the three picture modes, and the off-screen image built from it.
#include <algorithm>
#include <cmath>

#include "graphics/draw_panel/draw_panel.h"
#include "graphics/draw_panel/drawable_cache.h"
#include "graphics/pictures/pictures.h"
#include "platform/gdi/gdi.h"
#include "platform/user/painting.h"
#include "platform/user/window_geometry.h"

namespace quorlin::drawpanel {
namespace {

RECT Normalised(RECT r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

bool Meets(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  const HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

}  // namespace

bool DrawPanel::EnsureDecodedPicture() {
  if (picture_) return true;
  if (props_.backPicture.empty()) return false;
  picture_ = pictures::DecodePicture(props_.backPicture.data(), props_.backPicture.size());
  if (!picture_) {
    // Undecodable bytes are dropped: the property reads back empty from now on.
    props_.backPicture.clear();
    return false;
  }
  return true;
}

void DrawPanel::DropPicture() {
  drawable_.reset();
  picture_.reset();
}

// How much of a picture of that size the panel can show: in the modes that draw it at its own
// size from the top-left, no more than the client area; fitted, all of it.
SIZE DrawPanel::PictureShown(int width, int height) const {
  if (props_.backPictureMode == 2) return SIZE{width, height};
  const RECT client = ClientRect();
  return SIZE{std::min<LONG>(width, client.right - client.left), std::min<LONG>(height, client.bottom - client.top)};
}

const pictures::DrawablePicture* DrawPanel::DrawableFor(HDC dc, COLORREF background) {
  const auto holdsEnough = [&] {
    const pictures::DrawablePicture& held = *drawable_->picture;
    const SIZE shown = PictureShown(held.width, held.height);
    return held.heldWidth >= shown.cx && held.heldHeight >= shown.cy;
  };
  if (!drawable_ || !drawable_->picture || drawable_->background != background || !holdsEnough()) {
    if (!EnsureDecodedPicture()) return nullptr;
    drawable_ = std::make_unique<DrawablePictureCache>();
    drawable_->background = background;
    // Only what can be shown is converted; a larger client or the fitted mode makes it anew.
    const SIZE shown = PictureShown(picture_->width, picture_->height);
    drawable_->picture = pictures::MakeDrawablePicturePart(*picture_, dc, background, shown.cx, shown.cy);
    // A device bitmap is a copy: the decoded pixels are not kept beside it (they are decoded
    // again from the property's bytes should the background colour change). An icon stays
    // owned by the decoded picture.
    if (drawable_->picture && drawable_->picture->bitmap) picture_.reset();
  }
  if (!drawable_->picture) return nullptr;
  drawable_->picture->dc = dc;
  return drawable_->picture.get();
}

void DrawPanel::FillBackground(HDC dc, const RECT& area) {
  const RECT rect = Normalised(area);
  if (rect.left >= rect.right || rect.top >= rect.bottom) return;
  const COLORREF background = EffectiveBackColor();
  const pictures::DrawablePicture* picture = DrawableFor(dc, background);
  if (!picture || picture->width <= 0 || picture->height <= 0) {
    FillSolid(dc, rect, background);
    return;
  }
  const RECT client = ClientRect();
  const int clientWidth = client.right - client.left;
  const int clientHeight = client.bottom - client.top;
  const int width = picture->width;
  const int height = picture->height;

  const HRGN rest = CreateRectRgnIndirect(&rect);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  const auto drawAt = [&](int x, int y, int w, int h) {
    pictures::DrawDecodedPicture(*picture, x, y, w, h, SRCCOPY);
    const HRGN drawn = CreateRectRgn(x, y, x + w, y + h);
    CombineRgn(rest, rest, drawn, RGN_DIFF);
    DeleteObject(drawn);
  };
  switch (props_.backPictureMode) {
    case 0:
      drawAt(client.left, client.top, width, height);
      break;
    case 1:
      for (int y = client.top; y < client.bottom; y += height) {
        for (int x = client.left; x < client.right; x += width) {
          if (Meets(RECT{x, y, x + width, y + height}, rect)) {
            pictures::DrawDecodedPicture(*picture, x, y, width, height, SRCCOPY);
          }
        }
      }
      SetRectRgn(rest, 0, 0, 0, 0);
      break;
    default: {
      int shownWidth = width;
      int shownHeight = height;
      if (width > clientWidth || height > clientHeight) {
        const double scale = std::min(static_cast<double>(clientWidth) / width, static_cast<double>(clientHeight) / height);
        shownWidth = static_cast<int>(std::trunc(width * scale));
        shownHeight = static_cast<int>(std::trunc(height * scale));
      }
      if (shownWidth > 0 && shownHeight > 0) {
        drawAt(client.left + (clientWidth - shownWidth) / 2, client.top + (clientHeight - shownHeight) / 2, shownWidth,
               shownHeight);
      }
      break;
    }
  }
  RestoreDC(dc, saved);
  const HBRUSH brush = CreateSolidBrush(background);
  FillRgn(dc, rest, brush);
  DeleteObject(brush);
  DeleteObject(rest);
}

void DrawPanel::RebuildImage(bool keepDrawing) {
  const RECT client = ClientRect();
  const int width = std::max<int>(1, client.right - client.left);
  const int height = std::max<int>(1, client.bottom - client.top);
  // A fitted picture changes with the size, so earlier drawing is not carried over then.
  const bool fitted = !props_.backPicture.empty() && props_.backPictureMode == 2;
  if (image_ && imageSize_.cx == width && imageSize_.cy == height) {
    RefillImage(keepDrawing && !fitted);
    return;
  }
  const HDC windowDC = GetDC(hwnd_);
  const HBITMAP bitmap = CreateCompatibleBitmap(windowDC, width, height);
  const HDC imageDC = CreateCompatibleDC(windowDC);
  if (windowDC) ReleaseDC(hwnd_, windowDC);
  if (!bitmap || !imageDC) {
    if (bitmap) DeleteObject(bitmap);
    if (imageDC) DeleteDC(imageDC);
    DiscardImage();
    return;
  }
  const HGDIOBJ oldBitmap = SelectObject(imageDC, bitmap);
  FillBackground(imageDC, RECT{0, 0, width, height});
  if (keepDrawing && imageDC_ && !fitted) {
    BitBlt(imageDC, 0, 0, std::min<int>(width, imageSize_.cx), std::min<int>(height, imageSize_.cy), imageDC_, 0, 0,
           SRCCOPY);
  }
  DiscardImage();
  imageDC_ = imageDC;
  image_ = bitmap;
  imageOldBitmap_ = oldBitmap;
  imageSize_ = SIZE{width, height};
}

// The image rebuilt at its own size keeps its bitmap: a new bitmap of that size, filled and
// then covered by the old drawing, would be the old picture again; filled alone, it is what a
// fresh black bitmap filled with the background gives. Only the device context starts afresh.
void DrawPanel::RefillImage(bool keepDrawing) {
  const HDC windowDC = GetDC(hwnd_);
  const HDC imageDC = CreateCompatibleDC(windowDC);
  if (windowDC) ReleaseDC(hwnd_, windowDC);
  if (!imageDC) {
    DiscardImage();
    return;
  }
  SelectObject(imageDC_, imageOldBitmap_);
  DeleteDC(imageDC_);
  imageOldBitmap_ = SelectObject(imageDC, image_);
  imageDC_ = imageDC;
  if (keepDrawing) return;
  PatBlt(imageDC_, 0, 0, imageSize_.cx, imageSize_.cy, BLACKNESS);
  FillBackground(imageDC_, RECT{0, 0, imageSize_.cx, imageSize_.cy});
}

void DrawPanel::DiscardImage() {
  if (imageDC_) {
    SelectObject(imageDC_, imageOldBitmap_);
    DeleteDC(imageDC_);
  }
  if (image_) DeleteObject(image_);
  imageDC_ = 0;
  image_ = 0;
  imageOldBitmap_ = 0;
  imageSize_ = SIZE{0, 0};
}

void DrawPanel::Clear(Optional left, Optional top, Optional width, Optional height) {
  const auto clampToInt = [](int64_t v) {
    return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  RECT rect = ClientRect();
  if (left) rect.left = *left;
  if (top) rect.top = *top;
  if (width) rect.right = clampToInt(int64_t{rect.left} + *width);
  if (height) rect.bottom = clampToInt(int64_t{rect.top} + *height);
  rect = Normalised(rect);
  DrawOnTargets(Use::Figure, [&](HDC dc, bool) {
    SetMapMode(dc, MM_TEXT);
    FillBackground(dc, rect);
    MoveToEx(dc, rect.left, rect.top, nullptr);
  });
  writePosition_ = POINT{rect.left, rect.top};
}

}  // namespace quorlin::drawpanel
