// GIF images one by one, for animation: the frames with their positions, delays, disposal and
// colour keys, in file order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/pictures/decode_result.h"

namespace quorlin::pictures {

// A frame holds only the part of its image that lies on the logical screen: `width` and
// `height` are that part's, which starts at the image's own top-left (left, top).
struct GifFrame {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  // From the graphic-control extension before the image (0 and false without one).
  int disposal = 0;           // 2 and 3 restore the area saved before the frame was drawn
  bool transparent = false;   // pixels of transparentIndex are left out when drawing
  uint8_t transparentIndex = 0;
  int delayCentiseconds = 0;  // 0 plays as 50 ms
  // 256 entries blue, green, red, 0: the local colour table, else the global one; entries past
  // the table are black.
  std::array<uint8_t, 1024> palette{};
  // width × height colour indices, rows top-down in picture order (interlacing undone).
  std::vector<uint8_t> indices;
};

// The image blocks of a GIF in file order. After the trailer (or a zero byte, or the end of the
// data) the scan starts again at the first block, so NextFrame repeats the frames without end;
// `wrapped` tells when that happened. Extensions other than plain text, graphic control,
// comment and application fail, as does a GIF whose blocks hold no image.
class GifReader {
 public:
  static Result<GifReader> Open(const uint8_t* data, size_t size);

  int width() const { return width_; }
  int height() const { return height_; }
  int backgroundIndex() const { return backgroundIndex_; }
  bool wrapped() const { return wrapped_; }

  Result<GifFrame> NextFrame();
  // True when the blocks before the next image end (or are malformed), so the next frame would
  // start the loop again; the reader's place is unchanged.
  bool EndsBeforeNextImage();
  // The next image as the still picture draws it, at the screen's top-left, so cut to the
  // screen's size from there: the indices go into `rows` after `headerBytes` bytes
  // (frame.indices stays empty), each row padded to 4 bytes when `padRows`.
  Result<GifFrame> NextFramePadded(std::vector<uint8_t>& rows, size_t headerBytes, bool padRows);

 private:
  GifReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  enum class Block { Image, Restart, Failed };
  Block ScanToImage(const char** error);
  bool SkipSubBlocks();
  void ReadGraphicControl();
  // The next image cut to the screen, at its own place (`atItsPlace`) or at the top-left.
  Result<GifFrame> ReadImage(std::vector<uint8_t>& rows, size_t headerBytes, bool padRows, bool atItsPlace);

  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  size_t firstBlock_ = 0;
  int width_ = 0;
  int height_ = 0;
  int backgroundIndex_ = 0;
  std::array<uint8_t, 1024> globalPalette_{};
  bool seenImage_ = false;
  bool wrapped_ = false;
  GifFrame pending_;  // graphic-control values waiting for the next image
};

struct GifAnimation {
  int width = 0;
  int height = 0;
  int backgroundIndex = 0;
  std::vector<GifFrame> frames;
};

// Every frame once, in file order, up to the end of the blocks (frames before a malformed block
// are kept); the frames together hold at most 256 MiB.
Result<GifAnimation> DecodeGifAnimation(const uint8_t* data, size_t size);

}  // namespace quorlin::pictures
