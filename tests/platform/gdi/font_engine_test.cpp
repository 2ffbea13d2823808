// Faces opened on other threads while text waits for them: each face is opened once, and a
// font realised while its face is still being opened elsewhere is the same as one realised
// after.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "platform/gdi/font_engine.h"

namespace quorlin::platform::gdi::testing {
namespace {

struct Realised {
  int height = 0;
  int ascent = 0;
  int advance = 0;
  size_t inked = 0;
};

Realised Realise(const FontRequest& request) {
  std::lock_guard lock(FontLock());
  RealizedFont* font = RealizeFont(request);
  if (!font) return {};
  const Glyph& glyph = font->GlyphOf(U'中');
  size_t inked = 0;
  for (uint8_t c : glyph.coverage) inked += c != 0;
  return Realised{font->Metrics().tmHeight, font->Metrics().tmAscent, glyph.advance, inked};
}

TEST(FontEngine, AFontWhoseFaceIsBeingOpenedElsewhereWaitsForItAndMatchesALaterOne) {
  const std::string family(reinterpret_cast<const char*>(u8"微软雅黑"));
  // Several threads ask for the face at once while this one realises fonts of it.
  std::vector<std::thread> askers;
  for (int i = 0; i < 4; ++i) askers.emplace_back([&] { PrepareFaceInBackground(family, 700, true); });
  FontRequest request;
  request.faceUtf8 = family;
  request.height = -24;
  request.weight = 700;
  request.italic = true;
  const Realised during = Realise(request);
  for (std::thread& asker : askers) asker.join();

  request.height = -25;  // another font of the same face, realised once it is surely open
  const Realised after = Realise(request);
  request.height = -24;
  request.underline = true;  // not the cached font, but the same face at the same size
  const Realised again = Realise(request);
  ASSERT_GT(during.height, 0) << "no face";
  EXPECT_GT(during.inked, 50u);
  EXPECT_EQ(during.height, again.height);
  EXPECT_EQ(during.ascent, again.ascent);
  EXPECT_EQ(during.advance, again.advance);
  EXPECT_EQ(during.inked, again.inked);
  EXPECT_GE(after.height, during.height);
}

}  // namespace
}  // namespace quorlin::platform::gdi::testing
