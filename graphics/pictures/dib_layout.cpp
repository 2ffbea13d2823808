#include "graphics/pictures/dib_layout.h"

#include <cstring>

namespace quorlin::pictures {

namespace {
void Put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}
void Put16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}
}  // namespace

void WriteDibHeader(uint8_t* at, int32_t width, int32_t height, uint16_t planes, uint32_t imageBytes) {
  std::memset(at, 0, 40);
  Put32(at, 40);
  Put32(at + 4, static_cast<uint32_t>(width));
  Put32(at + 8, static_cast<uint32_t>(height));
  Put16(at + 12, planes);
  Put16(at + 14, 8);
  Put32(at + 20, imageBytes);
  Put32(at + 32, 256);
}

}  // namespace quorlin::pictures
