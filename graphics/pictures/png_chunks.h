// What a PNG's chunks say before any pixel is decoded: the header fields and how many bytes of
// compressed image data the file holds, so a header that the data cannot back is refused
// before its rows are allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace quorlin::pictures {

struct PngLayout {
  uint32_t width = 0;
  uint32_t height = 0;
  int bitDepth = 0;
  int colourType = 0;
  bool interlaced = false;
  uint64_t compressedBytes = 0;  // the image data chunks' bytes that lie inside the data
};

// Reads the header chunk (which must come first) and adds up the image data chunks up to the
// end chunk or the end of the data. Nullopt without a valid signature and header chunk.
std::optional<PngLayout> ScanPngChunks(const uint8_t* data, size_t size);

// The bytes the filtered rows take once inflated (a filter byte per row, every pass of an
// interlaced image); 0 for an unknown colour type or depth.
uint64_t PngFilteredBytes(const PngLayout& layout);

// Deflate gives at most this many bytes per byte of compressed data.
inline constexpr uint64_t kDeflateMostExpansion = 1032;

}  // namespace quorlin::pictures
