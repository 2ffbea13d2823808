// Picture decoding: a byte set (or a file) holding a whole picture file becomes a DecodedPicture.
//
//   auto picture = DecodePicture(bytes, length);   // null when nothing decodes
//
// Drawing a decoded picture (MakeDrawablePicture, DrawDecodedPicture, PictureToBitmapHandle)
// is in drawable_picture.h; the registered pictures are in picture_registry.h.
//
// Every decoder checks each size, offset and index against the data before use, and a header
// against what the data could possibly give before allocating for it; a picture with a side
// above 32767 pixels or of more than 64 megapixels gives no picture (picture_limits.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "graphics/pictures/decode_result.h"
#include "graphics/pictures/decoded_picture.h"
#include "graphics/pictures/drawable_picture.h"
#include "graphics/pictures/picture_kind.h"

namespace quorlin::pictures {

// Detects the kind and runs its decoder (a GIF gives its first image as a still picture).
// Null for empty, unrecognised or undecodable bytes.
std::unique_ptr<DecodedPicture> DecodePicture(const uint8_t* bytes, size_t length);

// The same, with the rule that was broken when nothing decodes.
Result<DecodedPicture> TryDecodePicture(const uint8_t* bytes, size_t length);

// The same decoders reached with a file name (GBK, '\' or '/' separators). The file is opened
// read-only, shared for reading, and read whole; files above 1 GiB are not read.
std::unique_ptr<DecodedPicture> DecodePictureFile(const char* fileName);
Result<DecodedPicture> TryDecodePictureFile(const char* fileName);

}  // namespace quorlin::pictures
