#include "graphics/pictures/drawable_picture.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "graphics/pictures/picture_limits.h"
#include "graphics/pictures/pictures.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/icon.h"

namespace quorlin::pictures {

namespace {

constexpr size_t kPackedDibHeader = kDibHeaderSize + kDibPaletteSize;
constexpr COLORREF kWhiteColour = 0x00FFFFFF;

BITMAPINFO TrueColourInfo(int width, int height, WORD bitCount) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bitCount;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

HBITMAP FromDib(HDC target, const BITMAPINFO& info, const void* bits) {
  return CreateDIBitmap(target, &info.bmiHeader, CBM_INIT, bits, &info, DIB_RGB_COLORS);
}

// A device bitmap of the DIB `info` describes, whose scans (in the DIB's own order) are made a
// band at a time by fillBand(firstScan, scanCount, band), so that no second full-size copy of
// the picture is ever held.
template <typename FillBand>
HBITMAP FromDibInBands(HDC target, const BITMAPINFO& info, size_t stride, size_t scans, FillBand fillBand) {
  constexpr size_t kBandBytes = size_t{1} << 20;
  const HBITMAP bitmap = CreateDIBitmap(target, &info.bmiHeader, 0, nullptr, &info, DIB_RGB_COLORS);
  if (!bitmap) return 0;
  const size_t bandScans = std::clamp<size_t>(kBandBytes / stride, 1, scans);
  std::vector<uint8_t> band(bandScans * stride, 0);
  for (size_t first = 0; first < scans; first += bandScans) {
    const size_t count = std::min(bandScans, scans - first);
    fillBand(first, count, band.data());
    SetDIBits(target, bitmap, static_cast<UINT>(first), static_cast<UINT>(count), band.data(), &info, DIB_RGB_COLORS);
  }
  return bitmap;
}

// Kinds Jpeg and Bmp: blue, green, red rows bottom-up, padded here to 4 bytes when needed; the
// top-left `width` × `height` of them.
HBITMAP MakeTrueColour(const DecodedPicture& picture, HDC target, int width, int height) {
  const size_t rowBytes = static_cast<size_t>(picture.width) * 3;
  const size_t rows = static_cast<size_t>(picture.height);
  if (picture.pixels.size() < rowBytes * rows) return 0;
  const BITMAPINFO info = TrueColourInfo(width, height, 24);
  const size_t heldRowBytes = static_cast<size_t>(width) * 3;
  const size_t stride = RoundUpTo4(heldRowBytes);
  // Bottom-up: the picture's top rows are the last ones stored.
  const uint8_t* top = picture.pixels.data() + (rows - static_cast<size_t>(height)) * rowBytes;
  if (stride == rowBytes) return FromDib(target, info, top);
  return FromDibInBands(target, info, stride, static_cast<size_t>(height), [&](size_t first, size_t count, uint8_t* band) {
    for (size_t y = 0; y < count; ++y) std::memcpy(band + y * stride, top + (first + y) * rowBytes, heldRowBytes);
  });
}

// Kinds Gif and Pcx8: the packed DIB the decoder stored, checked against its own header.
HBITMAP MakeFromPackedDib(const DecodedPicture& picture, HDC target) {
  if (picture.pixels.size() < kPackedDibHeader) return 0;
  BITMAPINFOHEADER header;
  std::memcpy(&header, picture.pixels.data(), sizeof header);
  if (header.biWidth <= 0 || header.biHeight == 0 || header.biBitCount != 8) return 0;
  const size_t rows = static_cast<size_t>(header.biHeight < 0 ? -int64_t{header.biHeight} : header.biHeight);
  const size_t stride = RoundUpTo4(static_cast<size_t>(header.biWidth));
  // A PCX whose lines are longer than its width stores longer rows than the header's width
  // implies; those are repacked so that each row starts where the device expects it.
  const size_t rowLength = (picture.pixels.size() - kPackedDibHeader) / rows;
  if (rowLength < stride) return 0;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(picture.pixels.data());
  const uint8_t* rowsData = picture.pixels.data() + kPackedDibHeader;
  if (rowLength == stride) return CreateDIBitmap(target, &info->bmiHeader, CBM_INIT, rowsData, info, DIB_RGB_COLORS);
  return FromDibInBands(target, *info, stride, rows, [&](size_t first, size_t count, uint8_t* band) {
    for (size_t y = 0; y < count; ++y) std::memcpy(band + y * stride, rowsData + (first + y) * rowLength, stride);
  });
}

// Kind Gif: the first image (already cut to the screen) at the top-left of a bitmap of the
// logical screen. What the image does not cover shows the background colour.
HBITMAP MakeGifScreen(const DecodedPicture& picture, HDC target, COLORREF background) {
  if (picture.pixels.size() < kPackedDibHeader) return 0;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(picture.pixels.data());
  const LONG imageHeight = info->bmiHeader.biHeight;
  const size_t rows = static_cast<size_t>(imageHeight < 0 ? -int64_t{imageHeight} : imageHeight);
  if (info->bmiHeader.biWidth <= 0 || rows == 0 || info->bmiHeader.biBitCount != 8) return 0;
  if (picture.pixels.size() - kPackedDibHeader < RoundUpTo4(static_cast<size_t>(info->bmiHeader.biWidth)) * rows) return 0;
  const HBITMAP screen = CreateCompatibleBitmap(target, picture.width, picture.height);
  if (!screen) return 0;
  const HDC to = CreateCompatibleDC(target);
  const HGDIOBJ oldTo = SelectObject(to, screen);
  const HBRUSH fill = CreateSolidBrush(background & 0x00FFFFFF);
  const RECT all{0, 0, picture.width, picture.height};
  FillRect(to, &all, fill);
  DeleteObject(fill);
  SelectObject(to, oldTo);
  DeleteDC(to);
  // Scans land from the bitmap's top-left; the image is never larger than the screen.
  SetDIBits(target, screen, 0, static_cast<UINT>(rows), picture.pixels.data() + kPackedDibHeader, info, DIB_RGB_COLORS);
  return screen;
}

// Kind Pcx1: word-aligned one-bit rows, 1 = white.
HBITMAP MakeMonochrome(const DecodedPicture& picture) {
  const size_t rowBytes = (static_cast<size_t>(picture.width) + 15) / 16 * 2;
  if (picture.pixels.size() < rowBytes * static_cast<size_t>(picture.height)) return 0;
  return CreateBitmap(picture.width, picture.height, 1, 1, picture.pixels.data());
}

// Kind Png: blue, green, red, alpha rows top-down, blended onto the background.
HBITMAP MakeBlended(const DecodedPicture& picture, HDC target, COLORREF background) {
  const size_t rowBytes = static_cast<size_t>(picture.width) * 4;
  const size_t rows = static_cast<size_t>(picture.height);
  if (picture.pixels.size() < rowBytes * rows) return 0;
  const uint8_t back[3] = {static_cast<uint8_t>(background >> 16), static_cast<uint8_t>(background >> 8),
                           static_cast<uint8_t>(background)};  // blue, green, red
  // The same sums as BlendChannel, with the weight and the background's share per alpha
  // computed once.
  double weight[256];
  double backShare[3][256];
  for (int a = 0; a < 256; ++a) {
    weight[a] = a * kAlphaWeight;
    for (int c = 0; c < 3; ++c) backShare[c][a] = back[c] * (1.0 - weight[a]);
  }
  const BITMAPINFO info = TrueColourInfo(picture.width, -picture.height, 32);
  return FromDibInBands(target, info, rowBytes, rows, [&](size_t first, size_t count, uint8_t* band) {
    std::memcpy(band, picture.pixels.data() + first * rowBytes, count * rowBytes);
    const size_t pixels = count * static_cast<size_t>(picture.width);
    for (size_t i = 0; i < pixels; ++i) {
      uint8_t* pixel = band + i * 4;
      const uint8_t alpha = pixel[3];
      if (alpha == 255) continue;
      for (int c = 0; c < 3; ++c) {
        const double value = pixel[c] * weight[alpha] + backShare[c][alpha];
        pixel[c] = static_cast<uint8_t>(std::clamp(static_cast<int>(value), 0, 255));
      }
    }
  });
}

HBITMAP MakeBitmapFor(const DecodedPicture& picture, HDC target, COLORREF background, int heldWidth, int heldHeight) {
  switch (picture.kind) {
    case PictureKind::Jpeg:
    case PictureKind::Bmp: return MakeTrueColour(picture, target, heldWidth, heldHeight);
    case PictureKind::Gif: return MakeGifScreen(picture, target, background);
    case PictureKind::Pcx8: return MakeFromPackedDib(picture, target);
    case PictureKind::Pcx1: return MakeMonochrome(picture);
    case PictureKind::Png: return MakeBlended(picture, target, background);
    default: return 0;
  }
}

// Pixels of colour `transparent` leave the target as it was: target ^= picture, target &=
// mask (white where the picture has that colour), target ^= picture.
void DrawWithTransparentColour(const DrawablePicture& picture, int x, int y, int width, int height,
                               COLORREF transparent) {
  const HDC target = picture.dc;
  const HDC source = CreateCompatibleDC(target);
  const HDC maskDc = CreateCompatibleDC(target);
  const HBITMAP mask = CreateBitmap(picture.width, picture.height, 1, 1, nullptr);
  const HGDIOBJ oldSource = SelectObject(source, picture.bitmap);
  const HGDIOBJ oldMask = SelectObject(maskDc, mask);
  SetBkColor(source, transparent);
  BitBlt(maskDc, 0, 0, picture.width, picture.height, source, 0, 0, SRCCOPY);
  const COLORREF oldText = SetTextColor(target, 0);
  const COLORREF oldBack = SetBkColor(target, kWhiteColour);
  StretchBlt(target, x, y, width, height, source, 0, 0, picture.width, picture.height, SRCINVERT);
  StretchBlt(target, x, y, width, height, maskDc, 0, 0, picture.width, picture.height, SRCAND);
  StretchBlt(target, x, y, width, height, source, 0, 0, picture.width, picture.height, SRCINVERT);
  SetTextColor(target, oldText);
  SetBkColor(target, oldBack);
  SelectObject(source, oldSource);
  SelectObject(maskDc, oldMask);
  DeleteDC(source);
  DeleteDC(maskDc);
  DeleteObject(mask);
}

}  // namespace

DrawablePicture::~DrawablePicture() {
  if (bitmap) DeleteObject(bitmap);
}

HBITMAP DrawablePicture::ReleaseBitmap() { return std::exchange(bitmap, 0); }

uint8_t BlendChannel(uint8_t colour, uint8_t alpha, uint8_t background) {
  const double weight = alpha * kAlphaWeight;
  const double value = colour * weight + background * (1.0 - weight);
  return static_cast<uint8_t>(std::clamp(static_cast<int>(value), 0, 255));
}

std::unique_ptr<DrawablePicture> MakeDrawablePicture(const DecodedPicture& picture, HDC target, COLORREF background) {
  return MakeDrawablePicturePart(picture, target, background, picture.width, picture.height);
}

std::unique_ptr<DrawablePicture> MakeDrawablePicturePart(const DecodedPicture& picture, HDC target,
                                                         COLORREF background, int shownWidth, int shownHeight) {
  if (picture.width <= 0 || picture.height <= 0) return nullptr;
  auto drawable = std::make_unique<DrawablePicture>();
  drawable->dc = target;
  drawable->kind = picture.kind;
  drawable->width = picture.width;
  drawable->height = picture.height;
  drawable->heldWidth = picture.width;
  drawable->heldHeight = picture.height;
  if (picture.kind == PictureKind::Icon || picture.kind == PictureKind::Cursor) {
    if (!picture.icon) return nullptr;
    drawable->icon = picture.icon;
    return drawable;
  }
  if (picture.kind == PictureKind::Jpeg || picture.kind == PictureKind::Bmp) {
    drawable->heldWidth = std::clamp(shownWidth, 1, picture.width);
    drawable->heldHeight = std::clamp(shownHeight, 1, picture.height);
  }
  drawable->bitmap = MakeBitmapFor(picture, target, background, drawable->heldWidth, drawable->heldHeight);
  if (!drawable->bitmap) return nullptr;
  return drawable;
}

void DrawDecodedPicture(const DrawablePicture& picture, int x, int y, int width, int height, int64_t rasterOperation) {
  const HDC target = picture.dc;
  if (width == -1) width = picture.width;
  if (height == -1) height = picture.height;
  SetStretchBltMode(target, GetDeviceCaps(target, BITSPIXEL) > 16 ? HALFTONE : COLORONCOLOR);
  if (picture.icon) {
    DrawIconEx(target, x, y, picture.icon, width, height, 0, 0, DI_NORMAL);
    return;
  }
  if (!picture.bitmap) return;
  if (rasterOperation < 0) {
    if (picture.heldWidth != picture.width || picture.heldHeight != picture.height) return;
    DrawWithTransparentColour(picture, x, y, width, height, static_cast<COLORREF>(-rasterOperation) & 0x00FFFFFF);
    return;
  }
  const bool part = picture.heldWidth != picture.width || picture.heldHeight != picture.height;
  if (part && (width != picture.width || height != picture.height)) return;
  const HDC source = CreateCompatibleDC(target);
  const HGDIOBJ old = SelectObject(source, picture.bitmap);
  StretchBlt(target, x, y, part ? picture.heldWidth : width, part ? picture.heldHeight : height, source, 0, 0,
             picture.heldWidth, picture.heldHeight, static_cast<DWORD>(rasterOperation));
  SelectObject(source, old);
  DeleteDC(source);
}

HBITMAP PictureToBitmapHandle(const uint8_t* bytes, size_t length) {
  const std::unique_ptr<DecodedPicture> picture = DecodePicture(bytes, length);
  if (!picture) return 0;
  if (picture->icon) {
    const HBITMAP bitmap = CreateCompatibleBitmap(0, picture->width, picture->height);
    if (!bitmap) return 0;
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, picture->width, picture->height, WHITENESS);
    DrawIconEx(dc, 0, 0, picture->icon, picture->width, picture->height, 0, 0, DI_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
  }
  const std::unique_ptr<DrawablePicture> drawable = MakeDrawablePicture(*picture, 0, kWhiteColour);
  return drawable ? drawable->ReleaseBitmap() : 0;
}

}  // namespace quorlin::pictures
