#include "tools/background_generator/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace quorlin::tools {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf exit;
};

void ExitOnError(j_common_ptr info) {
  char message[JMSG_LENGTH_MAX];
  info->err->format_message(info, message);
  std::fprintf(stderr, "background_generator: %s\n", message);
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->exit, 1);
}

}  // namespace

std::vector<uint8_t> CompressBaselineJpeg(const std::vector<uint8_t>& rgb, int width, int height, int quality) {
  if (width <= 0 || height <= 0 || rgb.size() != size_t(width) * size_t(height) * 3) return {};
  jpeg_compress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = &ExitOnError;
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  if (setjmp(errors.exit)) {
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return {};
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &length);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);  // baseline, Huffman-coded, YCbCr
  jpeg_set_quality(&info, quality, TRUE);
  info.optimize_coding = TRUE;
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.data() + size_t(info.next_scanline) * size_t(width) * 3);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> jpeg(buffer, buffer + length);
  std::free(buffer);
  return jpeg;
}

}  // namespace quorlin::tools
