#include "graphics/picture_box/gif_animator.h"

#include <algorithm>
#include <cstring>

#include "graphics/pictures/picture_limits.h"
#include "platform/gdi/gdi.h"
#include "platform/user/painting.h"
#include "platform/user/window_geometry.h"

namespace quorlin::pictures {

namespace {

constexpr auto kZeroDelayFrame = std::chrono::milliseconds(50);
constexpr size_t kMaxFrameTimes = 256;

uint32_t PixelOf(COLORREF colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

uint32_t PaletteColour(const GifFrame& frame, uint8_t index) {
  const uint8_t* entry = frame.palette.data() + size_t{index} * 4;
  return entry[0] | (entry[1] << 8) | (entry[2] << 16);
}

RECT Clipped(const GifFrame& frame, int width, int height) {
  return RECT{std::min(frame.left, width), std::min(frame.top, height), std::min(frame.left + frame.width, width),
              std::min(frame.top + frame.height, height)};
}

void SetStretchModeForDisplay(HDC hdc) {
  SetStretchBltMode(hdc, GetDeviceCaps(hdc, BITSPIXEL) > 16 ? HALFTONE : COLORONCOLOR);
}

}  // namespace

std::unique_ptr<GifAnimator> GifAnimator::Start(std::shared_ptr<const std::vector<uint8_t>> gif, const Target& target) {
  if (!gif || !target.turn || !target.displayMode) return nullptr;
  Result<GifReader> reader = GifReader::Open(gif->data(), gif->size());
  if (!reader.ok()) return nullptr;
  const uint64_t canvasBytes = uint64_t{4} * reader.value().width() * reader.value().height();
  if (canvasBytes > kMaxPixelBytes) return nullptr;
  std::unique_ptr<GifAnimator> animator(new GifAnimator(std::move(gif), reader.take(), target));
  animator->worker_ = std::thread([raw = animator.get()] { raw->Run(); });
  return animator;
}

GifAnimator::GifAnimator(std::shared_ptr<const std::vector<uint8_t>> gif, GifReader reader, const Target& target)
    : gif_(std::move(gif)),
      reader_(std::move(reader)),
      target_(target),
      width_(reader_.width()),
      height_(reader_.height()),
      canvas_(static_cast<size_t>(width_) * height_, PixelOf(target.background)) {}

GifAnimator::~GifAnimator() { Stop(); }

void GifAnimator::Stop() {
  {
    std::lock_guard lock(stopMutex_);
    stopRequested_ = true;
  }
  stopSignal_.notify_all();
  if (worker_.joinable()) worker_.join();
}

bool GifAnimator::WaitUntil(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(stopMutex_);
  return !stopSignal_.wait_until(lock, deadline, [this] { return stopRequested_; });
}

void GifAnimator::Run() {
  for (;;) {
    const auto start = std::chrono::steady_clock::now();
    {
      std::lock_guard lock(stopMutex_);
      if (stopRequested_) return;
    }
    std::chrono::steady_clock::duration delay;
    {
      std::lock_guard turn(*target_.turn);
      if (!ComposeNextFrame()) return;  // a malformed block: the last frame stays
      CopyCanvasToWindow();
      delay = std::chrono::milliseconds(10) * pendingDelay_;
    }
    {
      std::lock_guard lock(timesMutex_);
      if (frameTimes_.size() < kMaxFrameTimes) frameTimes_.push_back(start);
    }
    framesShown_.fetch_add(1);
    if (delay == delay.zero()) delay = kZeroDelayFrame;
    if (!WaitUntil(start + delay)) return;
  }
}

bool GifAnimator::ComposeNextFrame() {
  if (restorePending_) {
    for (int y = savedArea_.top; y < savedArea_.bottom; ++y) {
      const size_t width = static_cast<size_t>(savedArea_.right - savedArea_.left);
      std::memcpy(canvas_.data() + static_cast<size_t>(y) * width_ + savedArea_.left,
                  savedPixels_.data() + static_cast<size_t>(y - savedArea_.top) * width, width * 4);
    }
    restorePending_ = false;
  }
  const GifFrame* next = NextFrame();
  if (!next) return false;
  const GifFrame& frame = *next;
  pendingDelay_ = frame.delayCentiseconds;
  const RECT area = Clipped(frame, width_, height_);
  if (frame.disposal == 2 || frame.disposal == 3) {
    savedArea_ = area;
    savedPixels_.clear();
    for (int y = area.top; y < area.bottom; ++y) {
      const uint32_t* row = canvas_.data() + static_cast<size_t>(y) * width_;
      savedPixels_.insert(savedPixels_.end(), row + area.left, row + area.right);
    }
    restorePending_ = true;
  }
  const bool keyed = frame.transparent;
  const uint32_t key = PaletteColour(frame, frame.transparentIndex);
  for (int y = area.top; y < area.bottom; ++y) {
    const uint8_t* indices = frame.indices.data() + static_cast<size_t>(y - frame.top) * frame.width;
    uint32_t* row = canvas_.data() + static_cast<size_t>(y) * width_;
    for (int x = area.left; x < area.right; ++x) {
      const uint32_t colour = PaletteColour(frame, indices[x - frame.left]);
      if (!keyed || colour != key) row[x] = colour;
    }
  }
  return true;
}

const GifFrame* GifAnimator::NextFrame() {
  if (loopKept_) {
    const GifFrame& frame = kept_[nextKept_];
    nextKept_ = (nextKept_ + 1) % kept_.size();
    return &frame;
  }
  const bool wrappedBefore = reader_.wrapped();
  Result<GifFrame> next = reader_.NextFrame();
  if (!next.ok()) return nullptr;
  framesDecoded_.fetch_add(1);
  if (keeping_ && !wrappedBefore && reader_.wrapped() && !kept_.empty()) {
    // The scan started again: what was kept is the whole loop.
    loopKept_ = true;
    nextKept_ = 1 % kept_.size();
    return &kept_.front();
  }
  if (keeping_) {
    keptBytes_ += sizeof(GifFrame) + next.value().indices.size();
    if (keptBytes_ <= kKeptFramesBudget) {
      kept_.push_back(next.take());
      return &kept_.back();
    }
    keeping_ = false;
    std::vector<GifFrame>().swap(kept_);
  }
  decoded_ = next.take();
  return &decoded_;
}

RECT GifAnimator::PaintCurrent(HDC hdc, int clientWidth, int clientHeight) const {
  const auto mode = static_cast<DisplayMode>(target_.displayMode->load());
  const RECT r = LayoutPicture(mode, clientWidth, clientHeight, width_, height_);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchModeForDisplay(hdc);
  StretchDIBits(hdc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, width_, height_, canvas_.data(), &info,
                DIB_RGB_COLORS, SRCCOPY);
  return r;
}

void GifAnimator::CopyCanvasToWindow() const {
  const HDC hdc = GetDC(target_.window);
  if (!hdc) return;
  RECT client{};
  GetClientRect(target_.window, &client);
  PaintCurrent(hdc, client.right, client.bottom);
  ReleaseDC(target_.window, hdc);
}

std::vector<std::chrono::steady_clock::time_point> GifAnimator::FrameTimes() const {
  std::lock_guard lock(timesMutex_);
  return frameTimes_;
}

}  // namespace quorlin::pictures
