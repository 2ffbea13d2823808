// Fuzzes the icon and cursor directory reader together with the platform's icon creation.
#include <cstddef>
#include <cstdint>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/icon_creation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorlin::pictures;
  Result<DecodedPicture> result = DecodeIcon(data, size, &CreatePictureIcon);
  if (result.ok() && !result.value().icon) __builtin_trap();
  return 0;
}
