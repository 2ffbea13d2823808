// Fuzzes PCX: any bytes give a picture or a failure, never a read or write outside a buffer.
#include <cstddef>
#include <cstdint>

#include "graphics/pictures/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quorlin::pictures::Result<quorlin::pictures::DecodedPicture> result = quorlin::pictures::DecodePcx(data, size);
  if (result.ok() && result.value().pixels.empty()) __builtin_trap();
  return 0;
}
