// GIF87a and GIF89a: the logical screen descriptor, an optional global colour table, then
// blocks: image descriptors (","), extensions ("!") and the trailer (";").
#include <algorithm>
#include <cstring>

#include "graphics/pictures/byte_reader.h"
#include "graphics/pictures/decoders.h"
#include "graphics/pictures/dib_layout.h"
#include "graphics/pictures/gif_animation.h"
#include "graphics/pictures/lzw_decoder.h"
#include "graphics/pictures/picture_limits.h"

namespace quorlin::pictures {

namespace {

constexpr size_t kScreenDescriptorEnd = 13;
constexpr size_t kImageDescriptorSize = 9;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kPlainTextLabel = 0x01;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kApplicationLabel = 0xFF;

using Palette = std::array<uint8_t, 1024>;

void ReadColourTable(const uint8_t* rgb, size_t entries, Palette& palette) {
  palette = {};
  for (size_t i = 0; i < entries; ++i) {
    palette[i * 4] = rgb[i * 3 + 2];
    palette[i * 4 + 1] = rgb[i * 3 + 1];
    palette[i * 4 + 2] = rgb[i * 3];
  }
}

size_t ColourTableEntries(uint8_t flags) { return size_t{2} << (flags & 7); }

}  // namespace

Result<GifReader> GifReader::Open(const uint8_t* data, size_t size) {
  const ByteReader in(data, size);
  if (size <= kScreenDescriptorEnd) return Fail("GIF of 13 bytes or less");
  if (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0) return Fail("not a GIF87a or GIF89a signature");
  GifReader reader(data, size);
  reader.width_ = in.U16(6);
  reader.height_ = in.U16(8);
  reader.backgroundIndex_ = in.U8(11);
  if (!AreaAllowed(reader.width_, reader.height_)) return Fail("GIF screen side outside 1..32767 or above 64 megapixels");
  const uint8_t flags = in.U8(10);
  size_t position = kScreenDescriptorEnd;
  if (flags & 0x80) {
    const size_t entries = ColourTableEntries(flags);
    if (!in.Has(position, entries * 3)) return Fail("GIF global colour table past the data");
    ReadColourTable(data + position, entries, reader.globalPalette_);
    position += entries * 3;
  }
  reader.firstBlock_ = reader.position_ = position;
  return reader;
}

// Skips data sub-blocks up to and including the zero-length terminator; false when the data
// ends first.
bool GifReader::SkipSubBlocks() {
  while (position_ < size_) {
    const uint8_t length = data_[position_++];
    if (length == 0) return true;
    position_ = length < size_ - position_ ? position_ + length : size_;
  }
  return false;
}

void GifReader::ReadGraphicControl() {
  if (position_ < size_ && data_[position_] >= 4 && size_ - position_ >= 5) {
    const uint8_t* block = data_ + position_ + 1;
    pending_.disposal = (block[0] >> 2) & 7;
    pending_.transparent = (block[0] & 1) != 0;
    pending_.delayCentiseconds = block[1] | (block[2] << 8);
    pending_.transparentIndex = block[3];
  }
  SkipSubBlocks();
}

GifReader::Block GifReader::ScanToImage(const char** error) {
  for (;;) {
    bool restart = position_ >= size_;
    if (!restart) {
      const uint8_t introducer = data_[position_++];
      if (introducer == kImageSeparator) return Block::Image;
      if (introducer == kExtensionIntroducer && position_ < size_) {
        const uint8_t label = data_[position_++];
        switch (label) {
          case kGraphicControlLabel: ReadGraphicControl(); break;
          case kPlainTextLabel:
          case kCommentLabel:
          case kApplicationLabel: SkipSubBlocks(); break;
          default:
            *error = "GIF extension other than plain text, graphic control, comment or application";
            return Block::Failed;
        }
        continue;
      }
      // The trailer, a zero byte, or (once an image has been seen) anything unknown ends the
      // blocks; before any image an unknown block is an error.
      restart = introducer == kTrailer || introducer == 0 || introducer == kExtensionIntroducer || seenImage_;
      if (!restart) {
        *error = "unknown GIF block";
        return Block::Failed;
      }
    }
    if (!seenImage_) {
      *error = "GIF without an image";
      return Block::Failed;
    }
    position_ = firstBlock_;
    wrapped_ = true;
    pending_ = GifFrame{};
    return Block::Restart;
  }
}

bool GifReader::EndsBeforeNextImage() {
  const size_t position = position_;
  const GifFrame pending = pending_;
  const bool wrapped = wrapped_;
  const char* error = nullptr;
  const Block block = ScanToImage(&error);
  position_ = position;
  pending_ = pending;
  wrapped_ = wrapped;
  return block != Block::Image;
}

Result<GifFrame> GifReader::NextFrame() {
  std::vector<uint8_t> indices;
  Result<GifFrame> frame = ReadImage(indices, 0, false, true);
  if (frame.ok()) frame.value().indices = std::move(indices);
  return frame;
}

Result<GifFrame> GifReader::NextFramePadded(std::vector<uint8_t>& rows, size_t headerBytes, bool padRows) {
  return ReadImage(rows, headerBytes, padRows, false);
}

Result<GifFrame> GifReader::ReadImage(std::vector<uint8_t>& rows, size_t headerBytes, bool padRows, bool atItsPlace) {
  // Two restarts without an image cannot happen once one was seen; the bound is defensive.
  for (int restarts = 0;; ++restarts) {
    const char* error = nullptr;
    const Block block = ScanToImage(&error);
    if (block == Block::Failed) return Fail(error);
    if (block == Block::Image) break;
    if (restarts > 1) return Fail("GIF without an image");
  }

  const ByteReader in(data_, size_);
  if (!in.Has(position_, kImageDescriptorSize)) return Fail("GIF image descriptor past the data");
  GifFrame frame = std::move(pending_);
  pending_ = GifFrame{};
  frame.left = in.U16(position_);
  frame.top = in.U16(position_ + 2);
  const size_t width = in.U16(position_ + 4), height = in.U16(position_ + 6);
  const uint8_t flags = in.U8(position_ + 8);
  position_ += kImageDescriptorSize;
  if (flags & 0x80) {
    const size_t entries = ColourTableEntries(flags);
    if (!in.Has(position_, entries * 3)) return Fail("GIF local colour table past the data");
    ReadColourTable(data_ + position_, entries, frame.palette);
    position_ += entries * 3;
  } else {
    frame.palette = globalPalette_;
  }
  seenImage_ = true;

  // Sub-block data running past the end of the bytes reads as 0xFF (the LZW reader's rule).
  const int minCodeSize = position_ < size_ ? data_[position_++] : 0xFF;
  std::vector<uint8_t> codes;
  while (position_ < size_) {
    const uint8_t length = data_[position_++];
    if (length == 0) break;
    const size_t available = length < size_ - position_ ? length : size_ - position_;
    codes.insert(codes.end(), data_ + position_, data_ + position_ + available);
    position_ += available;
  }

  // Only what the screen shows is kept: the image from its place, or (the still picture) from
  // the screen's top-left.
  const size_t screenWidth = static_cast<size_t>(width_), screenHeight = static_cast<size_t>(height_);
  const size_t left = atItsPlace ? static_cast<size_t>(frame.left) : 0, top = atItsPlace ? static_cast<size_t>(frame.top) : 0;
  const size_t keptWidth = left < screenWidth ? std::min(width, screenWidth - left) : 0;
  const size_t keptHeight = top < screenHeight ? std::min(height, screenHeight - top) : 0;
  frame.width = static_cast<int>(keptWidth);
  frame.height = static_cast<int>(keptHeight);
  const size_t stride = padRows ? RoundUpTo4(keptWidth) : keptWidth;
  rows.assign(headerBytes + stride * keptHeight, 0);
  if (width == 0 || height == 0) return frame;
  LzwImage image;
  image.width = width;
  image.height = height;
  image.interlaced = (flags & 0x40) != 0;
  image.keepColumns = keptWidth;
  image.keepRows = keptHeight;
  image.out = rows.data() + headerBytes;
  image.outStride = stride;
  QUORLIN_TRY_DECODE(written, DecodeLzw(minCodeSize, codes.data(), codes.size(), image));
  (void)written;
  return frame;
}

Result<GifAnimation> DecodeGifAnimation(const uint8_t* data, size_t size) {
  QUORLIN_TRY_DECODE(reader, GifReader::Open(data, size));
  GifAnimation animation;
  animation.width = reader.width();
  animation.height = reader.height();
  animation.backgroundIndex = reader.backgroundIndex();
  uint64_t total = 0;
  for (;;) {
    if (!animation.frames.empty() && reader.EndsBeforeNextImage()) break;
    QUORLIN_TRY_DECODE(frame, reader.NextFrame());
    if (reader.wrapped()) break;
    total += frame.indices.size();
    if (total > kMaxPixelBytes) return Fail("GIF frames above 256 MiB");
    animation.frames.push_back(std::move(frame));
  }
  return animation;
}

Result<DecodedPicture> DecodeGifStill(const uint8_t* data, size_t size) {
  QUORLIN_TRY_DECODE(reader, GifReader::Open(data, size));
  constexpr size_t kHeaderAndPalette = kDibHeaderSize + kDibPaletteSize;
  DecodedPicture picture;
  QUORLIN_TRY_DECODE(frame, reader.NextFramePadded(picture.pixels, kHeaderAndPalette, true));
  if (frame.width == 0 || frame.height == 0) return Fail("GIF first image without pixels");
  const size_t imageBytes = picture.pixels.size() - kHeaderAndPalette;
  WriteDibHeader(picture.pixels.data(), frame.width, -frame.height, 1, static_cast<uint32_t>(imageBytes));
  std::memcpy(picture.pixels.data() + kDibHeaderSize, frame.palette.data(), kDibPaletteSize);
  picture.kind = PictureKind::Gif;
  picture.width = reader.width();
  picture.height = reader.height();
  picture.gifBackgroundIndex = reader.backgroundIndex();
  picture.gifTransparentIndex = frame.transparent ? frame.transparentIndex : -1;
  return picture;
}

}  // namespace quorlin::pictures
