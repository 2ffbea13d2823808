// BitBlt, StretchBlt and PatBlt between device contexts.
#include <algorithm>
#include <mutex>

#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/transfer.h"

using namespace quorlin::platform;
using namespace quorlin::platform::gdi;

namespace {

BOOL Blit(HDC destDC, int x, int y, int width, int height, HDC srcDC, int xs, int ys, int sw, int sh, DWORD rop) {
  auto dest = LookupDC(destDC);
  if (!dest) return FALSE;
  const uint8_t code = RopIndex(rop);
  const Transform dt = TransformOf(dest->state);
  const POINT d0 = dt.ToDevice(POINT{x, y});
  const POINT d1 = dt.ToDevice(POINT{x + width, y + height});
  if (!RopUsesSource(code)) {
    DeviceTarget target(*dest);
    if (target.Valid()) Transfer(*dest, target, d0, d1, nullptr, POINT{}, POINT{}, code);
    return TRUE;
  }
  auto src = LookupDC(srcDC);
  if (!src) return FALSE;
  const Transform st = TransformOf(src->state);
  const POINT s0 = st.ToDevice(POINT{xs, ys});
  const POINT s1 = st.ToDevice(POINT{xs + sw, ys + sh});

  // Both surfaces locked, then read again: a window's context may have been retargeted by the
  // window layer meanwhile (DeviceTarget does the same for one surface).
  POINT srcOrigin, destOrigin;
  Surface* srcSurface = TargetSurface(*src, &srcOrigin);
  Surface* destSurface = TargetSurface(*dest, &destOrigin);
  std::unique_lock<std::mutex> destLock;
  std::unique_lock<std::mutex> srcLock;
  for (;;) {
    if (!srcSurface || !destSurface) return FALSE;
    destLock = std::unique_lock<std::mutex>(destSurface->mutex, std::defer_lock);
    srcLock = std::unique_lock<std::mutex>(srcSurface->mutex, std::defer_lock);
    if (srcSurface == destSurface) destLock.lock();
    else std::lock(destLock, srcLock);
    Surface* srcNow = TargetSurface(*src, &srcOrigin);
    Surface* destNow = TargetSurface(*dest, &destOrigin);
    if (srcNow == srcSurface && destNow == destSurface) break;
    if (srcLock.owns_lock()) srcLock.unlock();
    destLock.unlock();
    srcSurface = srcNow;
    destSurface = destNow;
  }

  DeviceTarget target(*dest, false);
  TransferSource source;
  source.image.monochrome = IsMonochromeTarget(*src);
  source.backgroundPixel = PixelFromColorRef(src->state.bkColor & 0xFFFFFF);
  // The source rectangle, cut to the source surface, in source-device coordinates.
  const RECT sr{std::min(s0.x, s1.x), std::min(s0.y, s1.y), std::max(s0.x, s1.x), std::max(s0.y, s1.y)};
  std::vector<uint32_t> copy;
  if (srcSurface == destSurface) {
    // Overlapping transfers read the source as it was before the operation.
    const int left = std::clamp<int>(sr.left + srcOrigin.x, 0, srcSurface->width);
    const int right = std::clamp<int>(sr.right + srcOrigin.x, 0, srcSurface->width);
    const int top = std::clamp<int>(sr.top + srcOrigin.y, 0, srcSurface->height);
    const int bottom = std::clamp<int>(sr.bottom + srcOrigin.y, 0, srcSurface->height);
    if (left >= right || top >= bottom) return TRUE;
    copy.resize(static_cast<size_t>(right - left) * (bottom - top));
    for (int r = top; r < bottom; ++r) {
      std::copy(srcSurface->Row(r) + left, srcSurface->Row(r) + right, copy.begin() + static_cast<long>(r - top) * (right - left));
    }
    source.image.pixels = copy.data();
    source.image.stride = right - left;
    source.image.width = right - left;
    source.image.height = bottom - top;
    const POINT shift{left - srcOrigin.x, top - srcOrigin.y};
    Transfer(*dest, target, d0, d1, &source, POINT{s0.x - shift.x, s0.y - shift.y},
             POINT{s1.x - shift.x, s1.y - shift.y}, code);
    return TRUE;
  }
  source.image.pixels = srcSurface->pixels.data();
  source.image.stride = srcSurface->stride;
  source.image.width = srcSurface->width;
  source.image.height = srcSurface->height;
  Transfer(*dest, target, d0, d1, &source, POINT{s0.x + srcOrigin.x, s0.y + srcOrigin.y},
           POINT{s1.x + srcOrigin.x, s1.y + srcOrigin.y}, code);
  return TRUE;
}

}  // namespace

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
  return Blit(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop) {
  return Blit(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  const uint8_t code = RopIndex(rop);
  if (RopUsesSource(code)) return FALSE;
  return Blit(hdc, x, y, width, height, 0, 0, 0, 0, 0, rop);
}
