// Fuzzes the GIF decoder: the still picture, all frames once, and a few turns of the looping
// frame reader, whose frames must lie on the screen.
#include <cstddef>
#include <cstdint>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/gif_animation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorlin::pictures;
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
