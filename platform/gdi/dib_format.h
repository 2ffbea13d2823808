// Device-independent bitmap formats: the header's checks, colour tables and per-row
// converters to and from the 32-bit pixels of device bitmaps.
#pragma once

#include <optional>
#include <vector>

#include "platform/gdi/gdi_objects.h"

namespace quorlin::platform::gdi {

struct DibFormat {
  int width = 0;
  int height = 0;  // rows, positive
  bool topDown = false;
  int bitCount = 0;
  size_t stride = 0;             // bytes per row, a multiple of 4
  std::vector<uint32_t> colors;  // pixels of the colour table (1, 4, 8 bits per pixel)

  // Row index in a top-down picture of scan line `scan` (scan 0 is the first row stored).
  int RowOfScan(int scan) const { return topDown ? scan : height - 1 - scan; }
};

// The format a header describes, or none when it is not one we draw (compressed, unknown
// depth, absurd size). `dc` resolves DIB_PAL_COLORS tables.
std::optional<DibFormat> ParseDibFormat(const BITMAPINFO* info, UINT usage, const DeviceContext* dc);

size_t DibStride(int width, int bitCount);

// Converts one stored row into `width` pixels.
void DibRowToPixels(const DibFormat& format, const BYTE* row, uint32_t* out);

// The colour table GetDIBits reports for a depth of 8 bits or less.
std::vector<RGBQUAD> OutputColorTable(int bitCount);
// Converts `width` pixels into one stored row of the given depth and colour table.
void PixelsToDibRow(int bitCount, const std::vector<RGBQUAD>& table, const uint32_t* in, int width, BYTE* out);

}  // namespace quorlin::platform::gdi
