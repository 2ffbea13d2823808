// Fuzzes the GIF decoder: the still picture, all frames once, and a few turns of the looping
// frame reader, whose frames must lie on the screen.
#include <cstddef>
#include <cstdint>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/gif_animation.h"

namespace {

// The still picture is the first image cut to the logical screen, at full size however little
// image data follows, so a few bytes declaring a screen near the 64-megapixel cap legitimately
// cost the whole picture's memory and time (hundreds of milliseconds under the sanitizers, mostly
// first touches of fresh memory). The target skips screens above 512 × 512 pixels, which reach
// the same code, so that the fuzzer spends its time on the data rather than on filling memory.
constexpr uint32_t kFuzzMaxScreenPixels = 512 * 512;

bool ScreenSmallEnough(const uint8_t* data, size_t size) {
  if (size < 10) return true;
  const uint32_t width = data[6] | data[7] << 8, height = data[8] | data[9] << 8;
  return width * height <= kFuzzMaxScreenPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorlin::pictures;
  if (!ScreenSmallEnough(data, size)) return 0;
  (void)DecodeGifStill(data, size);
  (void)DecodeGifAnimation(data, size);
  Result<GifReader> reader = GifReader::Open(data, size);
  if (!reader.ok()) return 0;
  for (int i = 0; i < 8; ++i) {
    Result<GifFrame> frame = reader.value().NextFrame();
    if (!frame.ok()) break;
    const GifFrame& f = frame.value();
    if (f.indices.size() != static_cast<size_t>(f.width) * f.height) __builtin_trap();
    // Frames hold only what lies on the screen.
    if (f.width > 0 && f.height > 0 &&
        (f.left + f.width > reader.value().width() || f.top + f.height > reader.value().height()))
      __builtin_trap();
  }
  return 0;
}
