// Fuzzes the GIF decoder: the still picture, all frames once, and a few turns of the looping
// frame reader.
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
    if (frame.value().indices.size() != static_cast<size_t>(frame.value().width) * frame.value().height) __builtin_trap();
  }
  return 0;
}
