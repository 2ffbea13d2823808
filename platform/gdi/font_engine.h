// Fonts realised for drawing: faces found through fontconfig (with our own face aliases on top
// of the system's configuration), rendered by FreeType, glyphs cached per font.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace quorlin::platform::gdi {

// An anti-aliased glyph image, already rotated by the font's escapement.
struct Glyph {
  int left = 0;  // image offset from the pen position, x to the right
  int top = 0;   // and y upward
  int width = 0;
  int height = 0;
  std::vector<uint8_t> coverage;
  int advance = 0;  // along the baseline, whole pixels
};

// What a logical font needs to be drawn: the size already in device pixels.
struct FontRequest {
  std::string faceUtf8;
  int height = 0;  // as lfHeight: negative = character height, positive = cell height, 0 = default
  int width = 0;
  int escapement = 0;  // tenths of a degree, counter-clockwise
  int weight = 0;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool operator==(const FontRequest&) const = default;
};

class RealizedFont {
 public:
  virtual ~RealizedFont() = default;
  virtual const TEXTMETRICA& Metrics() const = 0;
  // The cached glyph of a code point (a missing glyph draws the font's default glyph).
  virtual const Glyph& GlyphOf(char32_t codePoint) = 0;
  virtual int UnderlinePosition() const = 0;   // pixels below the baseline
  virtual int UnderlineThickness() const = 0;
  virtual int StrikeOutPosition() const = 0;   // pixels above the baseline
  virtual std::string FamilyName() const = 0;  // UTF-8
};

// Every use of a realised font, its glyphs and the font cache holds this lock.
std::mutex& FontLock();
// A realised font for the request (cached), or null when no face could be loaded at all.
RealizedFont* RealizeFont(const FontRequest& request);

// Loads the font configuration (the system's and the user's, with our faces on top) and opens
// the stock fonts' regular face on the font preparation thread, so that the program's start-up
// goes on meanwhile; the first font realised waits for them. Without this call the first font
// loads them.
void PrepareFontsInBackground();

// Opens, on the font preparation thread, the face that fonts of this family, weight and slant
// draw with, so that the first text drawn in it does not wait for the face file to be read.
// Asked again for the same face, does nothing.
void PrepareFaceInBackground(const std::string& familyUtf8, int weight, bool italic);

}  // namespace quorlin::platform::gdi
