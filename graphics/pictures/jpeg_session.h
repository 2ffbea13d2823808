// The thin layer between libjpeg's longjmp-based error handling and the JPEG decoder: every
// libjpeg call happens inside these functions, whose frames hold nothing with a destructor, so
// a fatal error unwinds only plain data.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace quorlin::pictures {

struct JpegSession {
  jpeg_decompress_struct decompressor;
  jpeg_error_mgr errors;
  jpeg_source_mgr source;
  jpeg_progress_mgr progress;
  std::jmp_buf failure;
  const uint8_t* data;
  size_t size;
  size_t consumed;   // bytes handed to the library so far
  int maxScans;
  bool created;
};

// Creates the decompressor over the bytes and reads the header; false on any fatal error.
bool JpegReadHeader(JpegSession& session, const uint8_t* data, size_t size, int maxScans);

// Starts decompression in `outputSpace` and reads every scanline. Row y of the output goes to
// rows + rowIndex(y) × stride; for four-component output the rows go through `scratch` (one
// row of width × 4 bytes) and are converted from (Adobe-inverted or plain) CMYK. False on any
// fatal error.
bool JpegReadRows(JpegSession& session, J_COLOR_SPACE outputSpace, uint8_t* rows, size_t stride, bool bottomUp,
                  uint8_t* scratch);

// Destroys the decompressor (safe to call after any failure).
void JpegDestroy(JpegSession& session);

}  // namespace quorlin::pictures
