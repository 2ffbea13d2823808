// A GIF played frame by frame in a window by a worker thread of its own.
//
// The worker composes each frame on a canvas of the logical screen's size and copies the canvas
// to the window laid out by the display mode. Frames are decoded once: the first loop keeps
// them (cut to the screen) and later loops replay them, unless together they exceed
// kKeptFramesBudget, in which case every loop decodes them again. It and the window's painting take turns through
// the owner's drawing-turn mutex, which also guards the canvas. Stop() asks the worker to end
// and waits until it has; the worker looks at the request at least every 10 ms.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "graphics/picture_box/picture_layout.h"
#include "graphics/pictures/gif_animation.h"
#include "platform/base/win_types.h"

namespace quorlin::pictures {

class GifAnimator {
 public:
  static constexpr size_t kKeptFramesBudget = size_t{64} << 20;

  struct Target {
    HWND window = 0;
    std::mutex* turn = nullptr;                     // the drawing turn, shared with painting
    const std::atomic<int>* displayMode = nullptr;  // read at every frame
    COLORREF background = 0;                        // the canvas's first fill
  };

  // Null when the bytes are not a GIF that can be played (no image, or a canvas above 256 MiB).
  static std::unique_ptr<GifAnimator> Start(std::shared_ptr<const std::vector<uint8_t>> gif, const Target& target);
  ~GifAnimator();
  GifAnimator(const GifAnimator&) = delete;
  GifAnimator& operator=(const GifAnimator&) = delete;

  // Requests the stop and returns once the worker has ended. Never call it holding the turn.
  void Stop();

  int width() const { return width_; }
  int height() const { return height_; }

  // Draws the current canvas into `hdc` laid out in the client size; returns the rectangle it
  // covers. The caller holds the drawing turn.
  RECT PaintCurrent(HDC hdc, int clientWidth, int clientHeight) const;

  // When each frame so far began (the first 256), for those who watch the timing.
  std::vector<std::chrono::steady_clock::time_point> FrameTimes() const;
  uint64_t FramesShown() const { return framesShown_.load(); }
  // How many frames were decoded so far (a kept loop decodes no more).
  uint64_t FramesDecoded() const { return framesDecoded_.load(); }

 private:
  GifAnimator(std::shared_ptr<const std::vector<uint8_t>> gif, GifReader reader, const Target& target);
  void Run();
  // One frame onto the canvas, under the turn; false when the GIF cannot go on.
  bool ComposeNextFrame();
  // The next frame in file order, kept or freshly decoded; null on a malformed block.
  const GifFrame* NextFrame();
  void CopyCanvasToWindow() const;
  // Sleeps until `deadline` or a stop request; false on a stop request.
  bool WaitUntil(std::chrono::steady_clock::time_point deadline);

  std::shared_ptr<const std::vector<uint8_t>> gif_;
  GifReader reader_;
  Target target_;
  int width_;
  int height_;
  std::vector<uint32_t> canvas_;  // 0x00RRGGBB, rows top-down
  // The area a frame with disposal 2 or 3 covered, as it was before that frame.
  RECT savedArea_{};
  std::vector<uint32_t> savedPixels_;
  bool restorePending_ = false;
  int pendingDelay_ = 0;  // centiseconds, of the frame just composed

  std::vector<GifFrame> kept_;  // the frames of the first loop while they fit the budget
  size_t keptBytes_ = 0;
  bool keeping_ = true;       // false once the budget was exceeded
  bool loopKept_ = false;     // kept_ holds a whole loop: play from it
  size_t nextKept_ = 0;
  GifFrame decoded_;          // the frame just decoded when frames are not kept
  std::atomic<uint64_t> framesDecoded_{0};

  std::atomic<uint64_t> framesShown_{0};
  mutable std::mutex timesMutex_;
  std::vector<std::chrono::steady_clock::time_point> frameTimes_;

  std::mutex stopMutex_;
  std::condition_variable stopSignal_;
  bool stopRequested_ = false;
  std::thread worker_;
};

}  // namespace quorlin::pictures
