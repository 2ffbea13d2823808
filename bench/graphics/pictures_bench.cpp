// Picture decoding speed against the reference libraries on the same 800 × 600 files.
// Targets: JPEG and PNG within 1.15 × of the library's own direct decode, GIF at least as fast
// as giflib decoding and expanding into the same padded 8-bit rows, BMP and PCX at least
// 1 GB/s of output pixels (see bytes_per_second).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "graphics/pictures/decoders.h"
#include "tests/graphics/pictures/picture_writers.h"

// After our headers: giflib defines TRUE and FALSE as macros.
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

namespace {

using namespace quorlin::pictures;
using quorlin::pictures::testing::Bytes;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

const testing::RgbImage& Photo() {
  static const testing::RgbImage image = testing::TestImage(kWidth, kHeight);
  return image;
}

std::vector<uint8_t> PaletteIndices() {
  std::vector<uint8_t> indices;
  indices.reserve(static_cast<size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) indices.push_back(static_cast<uint8_t>(((x / 7) ^ (y / 5)) + (x * y) % 5));
  return indices;
}

template <typename Decode>
void RunOurs(benchmark::State& state, const Bytes& file, Decode decode) {
  size_t out = 0;
  for (auto _ : state) {
    Result<DecodedPicture> picture = decode(file.data(), file.size());
    if (!picture.ok()) state.SkipWithError(picture.error());
    out = picture.ok() ? picture.value().pixels.size() : 0;
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out));
}

// --- JPEG ---------------------------------------------------------------------------------

const Bytes& JpegFile() {
  static const Bytes file = testing::WriteJpeg(Photo(), 85);
  return file;
}

void BM_Jpeg_Ours(benchmark::State& state) { RunOurs(state, JpegFile(), DecodeJpeg); }

void BM_Jpeg_LibjpegTurboDirectBgr(benchmark::State& state) {
  const Bytes& file = JpegFile();
  for (auto _ : state) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), file.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    std::vector<uint8_t> pixels(static_cast<size_t>(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = pixels.data() + static_cast<size_t>(info.output_height - 1 - info.output_scanline) * info.output_width * 3;
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    benchmark::DoNotOptimize(pixels.data());
  }
}

// --- PNG ----------------------------------------------------------------------------------

const Bytes& PngFile() {
  static const Bytes file = [] {
    std::vector<uint8_t> rgba;
    for (const testing::Rgb& p : Photo().pixels) rgba.insert(rgba.end(), {p.r, p.g, p.b, static_cast<uint8_t>(p.r ^ p.g)});
    return testing::WritePng(kWidth, kHeight, rgba);
  }();
  return file;
}

void BM_Png_Ours(benchmark::State& state) { RunOurs(state, PngFile(), DecodePng); }

void BM_Png_LibpngSimplified(benchmark::State& state) {
  const Bytes& file = PngFile();
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, file.data(), file.size());
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    png_image_free(&image);
    benchmark::DoNotOptimize(pixels.data());
  }
}

// --- GIF ----------------------------------------------------------------------------------

const Bytes& GifFile() {
  static const Bytes file = [] {
    testing::Gif gif;
    gif.width = kWidth;
    gif.height = kHeight;
    for (int i = 0; i < 256; ++i) gif.globalPalette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7});
    testing::GifImage image;
    image.width = kWidth;
    image.height = kHeight;
    image.indices = PaletteIndices();
    gif.images = {image};
    return testing::WriteGif(gif);
  }();
  return file;
}

void BM_Gif_Ours(benchmark::State& state) { RunOurs(state, GifFile(), DecodeGifStill); }

struct MemoryInput {
  const Bytes* bytes;
  size_t at;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int count) {
  auto* input = static_cast<MemoryInput*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(count), input->bytes->size() - input->at);
  std::memcpy(out, input->bytes->data() + input->at, n);
  input->at += n;
  return static_cast<int>(n);
}

// giflib decodes the image, then it is expanded into the same padded DIB rows and palette.
void BM_Gif_Giflib(benchmark::State& state) {
  const Bytes& file = GifFile();
  for (auto _ : state) {
    MemoryInput input{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&input, ReadMemory, &error);
    DGifSlurp(gif);
    const SavedImage& image = gif->SavedImages[0];
    const int width = image.ImageDesc.Width, height = image.ImageDesc.Height;
    const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
    std::vector<uint8_t> dib(40 + 1024 + stride * height);
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    for (int i = 0; i < map->ColorCount; ++i) {
      dib[40 + i * 4] = map->Colors[i].Blue;
      dib[41 + i * 4] = map->Colors[i].Green;
      dib[42 + i * 4] = map->Colors[i].Red;
    }
    for (int y = 0; y < height; ++y) std::memcpy(dib.data() + 1064 + y * stride, image.RasterBits + static_cast<size_t>(y) * width, width);
    DGifCloseFile(gif, &error);
    benchmark::DoNotOptimize(dib.data());
  }
}

// --- BMP and PCX --------------------------------------------------------------------------

void BM_Bmp24(benchmark::State& state) {
  static const Bytes file = testing::WriteBmp(Photo(), 24, false);
  RunOurs(state, file, DecodeBmp);
}

void BM_Bmp8(benchmark::State& state) {
  static const Bytes file = [] {
    testing::IndexedBmp bmp{kWidth, kHeight, 8, PaletteIndices(), std::vector<testing::Rgb>(256, {1, 2, 3})};
    return testing::WriteIndexedBmp(bmp);
  }();
  RunOurs(state, file, DecodeBmp);
}

void BM_Pcx8(benchmark::State& state) {
  static const Bytes file = testing::WritePcx8(kWidth, kHeight, PaletteIndices(), std::vector<testing::Rgb>(256, {1, 2, 3}));
  RunOurs(state, file, DecodePcx);
}

void BM_Pcx1(benchmark::State& state) {
  static const Bytes file = [] {
    // The photograph ordered-dithered to one bit, as a scanner or a fax program would.
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<uint8_t> rows(static_cast<size_t>(kWidth / 8) * kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const testing::Rgb& p = Photo().at(x, y);
        const int grey = (p.r * 3 + p.g * 6 + p.b) / 10;
        if (grey * 16 / 256 > kBayer[y % 4][x % 4]) rows[static_cast<size_t>(y) * (kWidth / 8) + x / 8] |= 0x80 >> (x % 8);
      }
    return testing::WritePcx1(kWidth, kHeight, rows);
  }();
  RunOurs(state, file, DecodePcx);
}

BENCHMARK(BM_Jpeg_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Jpeg_LibjpegTurboDirectBgr)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Png_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Png_LibpngSimplified)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gif_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gif_Giflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bmp24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Bmp8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pcx8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pcx1)->Unit(benchmark::kMicrosecond);

}  // namespace
