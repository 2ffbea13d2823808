#include "tools/picture_tool/picture_render.h"

#include <algorithm>

#include "graphics/picture_box/picture_painting.h"
#include "platform/gdi/gdi.h"

namespace quorlin::picture_tool {

const char* KindName(pictures::PictureKind kind) {
  using pictures::PictureKind;
  switch (kind) {
    case PictureKind::Jpeg: return "jpeg";
    case PictureKind::Bmp: return "bmp";
    case PictureKind::Icon: return "icon";
    case PictureKind::Cursor: return "cursor";
    case PictureKind::Gif: return "gif";
    case PictureKind::Pcx8: return "pcx8";
    case PictureKind::Pcx1: return "pcx1";
    case PictureKind::Png: return "png";
    case PictureKind::None: break;
  }
  return "none";
}

std::optional<RenderedPicture> RenderNaturalSize(const pictures::DecodedPicture& picture, COLORREF background) {
  const int width = picture.width, height = picture.height;
  // A memory device context alone would make a monochrome bitmap; this one is the screen's.
  const HBITMAP bitmap = CreateCompatibleBitmap(0, width, height);
  if (!bitmap) return std::nullopt;
  const HDC dc = CreateCompatibleDC(0);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  pictures::PaintStillPicture(dc, &picture, pictures::DisplayMode::Natural, width, height, background);
  SelectObject(dc, old);

  RenderedPicture rendered;
  rendered.width = width;
  rendered.height = height;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::vector<uint8_t> rows(stride * static_cast<size_t>(height));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const int got = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), rows.data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  DeleteObject(bitmap);
  if (got != height) return std::nullopt;
  rendered.bgr.resize(static_cast<size_t>(width) * 3 * static_cast<size_t>(height));
  for (size_t y = 0; y < static_cast<size_t>(height); ++y)
    std::copy_n(rows.data() + y * stride, static_cast<size_t>(width) * 3, rendered.bgr.data() + y * width * 3);
  return rendered;
}

}  // namespace quorlin::picture_tool
