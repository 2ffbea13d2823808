// The per-format decoders behind DecodePicture, each taking the whole picture file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/pictures/decode_result.h"
#include "graphics/pictures/decoded_picture.h"
#include "platform/base/win_types.h"

namespace quorlin::pictures {

// libjpeg-turbo. Warnings (a truncated file among them) are ignored and the available part is
// decoded; fatal errors and progressive files of more than kMaxJpegScans scans give no picture.
// Encoders write about ten scans; every scan walks every block of the picture however few bytes
// it holds, so a small file of hundreds of scans would keep the window busy for seconds.
inline constexpr int kMaxJpegScans = 100;
Result<DecodedPicture> DecodeJpeg(const uint8_t* data, size_t size);

// The same with a lower cap on width × height than every picture's (kMaxPicturePixels).
Result<DecodedPicture> DecodeJpegWithin(const uint8_t* data, size_t size, uint64_t maxPixels);

// libpng, straight into blue, green, red, alpha: 16-bit files with every channel scaled to 8
// bits as it is (no gamma conversion), all others through the simplified reader.
Result<DecodedPicture> DecodePng(const uint8_t* data, size_t size);

// Uncompressed BMP of 1, 4, 8, 24 or 32 bits per pixel, bottom-up or top-down.
Result<DecodedPicture> DecodeBmp(const uint8_t* data, size_t size);

// Icon and cursor directories: picks the image (the first 32-pixel-wide entry of more than 15
// colours, else the last entry) and makes an icon of it with `createIcon`.
using IconCreator = HICON (*)(const uint8_t* bits, size_t size, int width, int height, int bitDepth);
Result<DecodedPicture> DecodeIcon(const uint8_t* data, size_t size, IconCreator createIcon);

// The first image of a GIF as a still picture, cut to the logical screen.
Result<DecodedPicture> DecodeGifStill(const uint8_t* data, size_t size);

// 8-bit (palette) and 1-bit PCX.
Result<DecodedPicture> DecodePcx(const uint8_t* data, size_t size);

}  // namespace quorlin::pictures
