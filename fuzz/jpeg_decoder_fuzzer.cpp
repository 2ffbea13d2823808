// Fuzzes the libjpeg path (memory source, error manager, scan limit): any bytes give a picture or a failure, never a read or write outside a buffer.
//
// A truncated file decodes its available part at full size, so a few hundred bytes declaring a
// picture near the 64-megapixel cap legitimately cost the whole picture's memory and time (seconds
// under the sanitizers, mostly first touches of fresh memory): the target decodes with a cap of
// 512 × 512 pixels, which reaches the same code, so that the fuzzer spends its time on the data
// rather than on filling memory.
#include <cstddef>
#include <cstdint>

#include "graphics/pictures/decoders.h"

namespace {

constexpr uint64_t kFuzzMaxPixels = 512 * 512;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quorlin::pictures::Result<quorlin::pictures::DecodedPicture> result =
      quorlin::pictures::DecodeJpegWithin(data, size, kFuzzMaxPixels);
  if (result.ok() && result.value().pixels.empty()) __builtin_trap();
  return 0;
}
