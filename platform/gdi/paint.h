// What figures are painted with (a pen's colour or a realised brush) and the span painter that
// applies it through a raster operation inside the clip.
#pragma once

#include <vector>

#include "platform/gdi/device_target.h"
#include "platform/gdi/raster_ops.h"

namespace quorlin::platform::gdi {

// A repeating pattern in device coordinates, resolved to the target's pixels.
struct Paint {
  bool none = false;  // hollow brush or null pen: nothing is painted
  int width = 1;
  int height = 1;
  std::vector<uint32_t> pixels{0};
  std::vector<uint8_t> opaque;  // per pattern pixel; empty = all opaque
  POINT origin{0, 0};

  const uint32_t* Row(int y) const;
  int Phase(int x) const;
};

Paint SolidPaint(uint32_t pixel);
// The brush as the device context paints it: text and background colours for monochrome
// patterns, the background colour (or nothing, when transparent) between hatch lines.
Paint BrushPaint(const DeviceContext& dc, const BrushObject* brush);
// The brush behind a FillRect-style argument: a brush handle or a system colour index + 1.
std::shared_ptr<BrushObject> BrushFromArgument(HBRUSH brush);

// A set of device pixels of one figure, drawn once each.
class Coverage {
 public:
  // An empty set that can hold pixels inside `bounds`.
  explicit Coverage(const RECT& bounds);
  const RECT& Bounds() const { return bounds_; }
  bool Empty() const { return bounds_.right <= bounds_.left || bounds_.bottom <= bounds_.top; }
  void Set(int x, int y) {
    if (x >= bounds_.left && x < bounds_.right && y >= bounds_.top && y < bounds_.bottom) {
      bits_[static_cast<size_t>(y - bounds_.top) * width_ + (x - bounds_.left)] = 1;
    }
  }
  void Clear(int x, int y) {
    if (x >= bounds_.left && x < bounds_.right && y >= bounds_.top && y < bounds_.bottom) {
      bits_[static_cast<size_t>(y - bounds_.top) * width_ + (x - bounds_.left)] = 0;
    }
  }
  bool Get(int x, int y) const {
    return x >= bounds_.left && x < bounds_.right && y >= bounds_.top && y < bounds_.bottom &&
           bits_[static_cast<size_t>(y - bounds_.top) * width_ + (x - bounds_.left)] != 0;
  }
  void SetSpan(int y, int x0, int x1);
  // Removes every pixel of `other`.
  void Subtract(const Coverage& other);
  const uint8_t* Row(int y) const { return bits_.data() + static_cast<size_t>(y - bounds_.top) * width_; }

 private:
  RECT bounds_;
  int width_;
  std::vector<uint8_t> bits_;
};

// Paints device pixels [x0, x1) of row y, clipped, with the paint through the operation.
void PaintSpan(const DeviceTarget& target, const Paint& paint, uint8_t rop, int y, int x0, int x1);
void PaintRect(const DeviceTarget& target, const Paint& paint, uint8_t rop, const RECT& rect);
void PaintCoverage(const DeviceTarget& target, const Paint& paint, uint8_t rop, const Coverage& coverage);

}  // namespace quorlin::platform::gdi
