#include "graphics/pictures/jpeg_session.h"

#include <jerror.h>

namespace quorlin::pictures {

namespace {

// The data is handed over in windows of this many bytes.
constexpr size_t kWindowBytes = 4096;
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

JpegSession& SessionOf(j_common_ptr info) { return *static_cast<JpegSession*>(info->client_data); }
JpegSession& SessionOf(j_decompress_ptr info) { return *static_cast<JpegSession*>(info->client_data); }

[[noreturn]] void FailDecoding(j_common_ptr info) { std::longjmp(SessionOf(info).failure, 1); }
void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// Hands over the next window; once the data is used up, a missing file is fatal and a
// truncated one gets a warning and an end-of-image marker, so its available part decodes.
boolean FillWindow(j_decompress_ptr info) {
  JpegSession& session = SessionOf(info);
  if (session.consumed >= session.size) {
    if (session.size == 0) ERREXIT(info, JERR_INPUT_EMPTY);
    WARNMS(info, JWRN_JPEG_EOF);
    info->src->next_input_byte = kEndOfImage;
    info->src->bytes_in_buffer = sizeof(kEndOfImage);
    return TRUE;
  }
  const size_t left = session.size - session.consumed;
  const size_t window = left < kWindowBytes ? left : kWindowBytes;
  info->src->next_input_byte = session.data + session.consumed;
  info->src->bytes_in_buffer = window;
  session.consumed += window;
  return TRUE;
}

void SkipInput(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* source = info->src;
  size_t skip = static_cast<size_t>(count);
  while (skip > source->bytes_in_buffer) {
    skip -= source->bytes_in_buffer;
    source->bytes_in_buffer = 0;
    FillWindow(info);
  }
  source->next_input_byte += skip;
  source->bytes_in_buffer -= skip;
}

// Progressive files with absurd numbers of scans would take minutes; they are cut off.
void WatchScans(j_common_ptr info) {
  if (!info->is_decompressor) return;
  const auto* decompressor = reinterpret_cast<j_decompress_ptr>(info);
  if (decompressor->input_scan_number > SessionOf(info).maxScans) ERREXIT(info, JERR_BAD_SCAN_SCRIPT);
}

void ConvertCmykRow(const uint8_t* cmyk, uint8_t* bgr, size_t width, bool inverted) {
  for (size_t x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    // Adobe writes the channels inverted (255 = no ink).
    const unsigned c = inverted ? cmyk[0] : 255u - cmyk[0];
    const unsigned m = inverted ? cmyk[1] : 255u - cmyk[1];
    const unsigned y = inverted ? cmyk[2] : 255u - cmyk[2];
    const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
    bgr[0] = static_cast<uint8_t>(y * k / 255);
    bgr[1] = static_cast<uint8_t>(m * k / 255);
    bgr[2] = static_cast<uint8_t>(c * k / 255);
  }
}

}  // namespace

bool JpegReadHeader(JpegSession& session, const uint8_t* data, size_t size, int maxScans) {
  session.data = data;
  session.size = size;
  session.consumed = 0;
  session.maxScans = maxScans;
  session.created = false;
  session.decompressor.err = jpeg_std_error(&session.errors);
  session.errors.error_exit = FailDecoding;
  session.errors.emit_message = IgnoreMessage;
  session.errors.output_message = IgnoreOutput;
  session.decompressor.client_data = &session;
  if (setjmp(session.failure)) return false;
  jpeg_create_decompress(&session.decompressor);
  session.created = true;
  session.source.init_source = InitSource;
  session.source.fill_input_buffer = FillWindow;
  session.source.skip_input_data = SkipInput;
  session.source.resync_to_restart = jpeg_resync_to_restart;
  session.source.term_source = TermSource;
  session.source.next_input_byte = nullptr;
  session.source.bytes_in_buffer = 0;
  session.decompressor.src = &session.source;
  session.progress.progress_monitor = WatchScans;
  session.decompressor.progress = &session.progress;
  return jpeg_read_header(&session.decompressor, TRUE) == JPEG_HEADER_OK;
}

bool JpegReadRows(JpegSession& session, J_COLOR_SPACE outputSpace, uint8_t* rows, size_t stride, bool bottomUp,
                  uint8_t* scratch) {
  jpeg_decompress_struct& info = session.decompressor;
  if (setjmp(session.failure)) return false;
  info.out_color_space = outputSpace;
  jpeg_start_decompress(&info);
  // The caller sized the rows from the header.
  if (info.output_width != info.image_width || info.output_height != info.image_height) ERREXIT(&info, JERR_IMAGE_TOO_BIG);
  const size_t height = info.output_height;
  const bool cmyk = outputSpace == JCS_CMYK;
  while (info.output_scanline < info.output_height) {
    const size_t y = info.output_scanline;
    uint8_t* row = rows + (bottomUp ? height - 1 - y : y) * stride;
    JSAMPROW target = cmyk ? scratch : row;
    if (jpeg_read_scanlines(&info, &target, 1) != 1) return true;
    if (cmyk) ConvertCmykRow(scratch, row, info.output_width, info.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&info);
  return true;
}

void JpegDestroy(JpegSession& session) {
  if (session.created) jpeg_destroy_decompress(&session.decompressor);
  session.created = false;
}

}  // namespace quorlin::pictures
