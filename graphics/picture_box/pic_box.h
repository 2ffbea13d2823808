// PicBox ("图片框"): a child window that shows one picture on its background colour, laid out
// by its display mode; a GIF with Animate on plays in it frame by frame.
//
// The object owns its window: destroying the object destroys the window, and a window destroyed
// otherwise (with its parent, say) leaves the object without one. Everything but the animation
// runs on the window's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "graphics/picture_box/gif_animator.h"
#include "graphics/pictures/decoded_picture.h"
#include "platform/base/win_types.h"

namespace quorlin::pictures {

inline constexpr COLORREF kSystemBackColor = 0xFF000000;  // the button-face colour

struct PicBoxSettings {
  int border = 0;                        // 0..5, see border_style.h
  COLORREF backColor = kSystemBackColor;
  int displayMode = 0;                   // DisplayMode 0..2
  bool animate = true;
  std::vector<uint8_t> picture;          // a picture file's bytes; empty = none
  std::string text1;                     // kept, not shown
  std::string text2;
};

class PicBox {
 public:
  // A hidden child window of `parent` (style WS_CHILD | WS_CLIPSIBLINGS plus `style`), with
  // the settings applied: the picture decoded, then the display mode and the border. Null when
  // the window cannot be made.
  static std::unique_ptr<PicBox> Create(HWND parent, int x, int y, int width, int height, DWORD style,
                                        const PicBoxSettings& settings);
  ~PicBox();
  PicBox(const PicBox&) = delete;
  PicBox& operator=(const PicBox&) = delete;

  HWND Window() const { return window_; }

  // Each write clamps its value (the maximum above it, 0 below 0) and repaints as needed.
  void SetBorder(int border);
  void SetBackColor(COLORREF colour);
  // Empty bytes clear the picture. True when a picture was decoded.
  bool SetPicture(std::vector<uint8_t> bytes);
  void SetDisplayMode(int mode);
  void SetAnimate(bool animate);
  void SetText1(std::string text) { settings_.text1 = std::move(text); }
  void SetText2(std::string text) { settings_.text2 = std::move(text); }

  const PicBoxSettings& Settings() const { return settings_; }
  // The colour painted behind the picture: BackColor, or the system button face for the marker.
  COLORREF EffectiveBackColor() const;

  bool HasPicture() const { return still_ != nullptr || animator_ != nullptr; }
  // The animation, while one plays (for those who watch its frames).
  const GifAnimator* Animation() const { return animator_.get(); }

 private:
  PicBox() = default;
  static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void StopAnimation();
  // Decodes the stored bytes: a GIF with Animate on starts playing, anything else is still.
  bool Load();
  void Repaint(bool now);

  HWND window_ = 0;
  PicBoxSettings settings_;
  std::atomic<int> displayMode_{0};
  std::unique_ptr<DecodedPicture> still_;
  std::shared_ptr<const std::vector<uint8_t>> animatedBytes_;
  std::unique_ptr<GifAnimator> animator_;
  std::mutex drawingTurn_;
};

}  // namespace quorlin::pictures
