// Tiny picture files whose headers claim far more than their data holds — the files a decoder
// must refuse or cut down before it allocates what they declare. Made afresh by each test (no
// such file is kept in the repository).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorlin::testing {

struct HostilePicture {
  std::string name;          // a file name with the format's ending
  std::vector<uint8_t> bytes;
};

// A 130-byte PCX declaring 16384 × 16384 pixels.
HostilePicture HugePcx();
// A GIF whose one interlaced 16384 × 16384 image lies on a 16 × 16 screen.
HostilePicture HugeInterlacedGifFrame();
// The same with two such images, each shown for the shortest delay: an animation.
HostilePicture HugeGifAnimation();
// A GIF whose 16384 × 16384 image breaks its code stream at once: no picture.
HostilePicture BrokenHugeGif();
// An 8192 × 8192 one-bit PNG of about 8 KB (its data really inflates to the whole image).
HostilePicture HugeOneBitPng();
// A JPEG of a few hundred bytes whose frame header declares `side` × `side` pixels.
HostilePicture TruncatedJpeg(int side);

// The files above that every decoder must refuse or cut down to almost nothing (all but a
// truncated JPEG within the megapixel cap).
std::vector<HostilePicture> HostilePictures();

}  // namespace quorlin::testing
