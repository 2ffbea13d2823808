// 16-bit PNG files through libpng's full reading interface. The simplified reader takes such
// files for linear light (so they come out too bright without a gamma chunk) and garbles
// interlaced ones when asked for 8-bit output; here every channel is scaled to 8 bits as it is,
// the way other decoders show it. Every libpng call happens inside these functions, whose
// frames hold nothing with a destructor, so a fatal error unwinds only plain data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorlin::pictures {

// Reads the whole image as blue, green, red, alpha rows (8 bits each, top-down, no padding)
// into `pixels`, which holds width × height × 4 bytes for the header's width and height. False
// on any libpng error or a size other than `width` × `height`.
bool ReadDeepPng(const uint8_t* data, size_t size, uint32_t width, uint32_t height, uint8_t* pixels);

}  // namespace quorlin::pictures
