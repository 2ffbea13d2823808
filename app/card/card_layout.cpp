#include "app/card/card_layout.h"

#include <cmath>
#include <string>

#include "app/card/card_texts.h"
#include "runtime/commands/text_commands.h"
#include "runtime/kernel/blocks.h"

namespace quorlin::app {
namespace {

constexpr double kCentreX = 290;
constexpr int32_t kLongestShownId = 18;
constexpr int32_t kShortenedIdBytes = 16;

int32_t CentredX(int32_t byteLength, double pixelsPerByte) {
  return static_cast<int32_t>(std::trunc(kCentreX - byteLength / 2.0 * pixelsPerByte));
}

}  // namespace

int32_t TextLength(const char* text) { return CallCoreInteger(&commands::TextLength, {MakeText(text)}); }

int32_t IdLineX(int32_t byteLength) { return CentredX(byteLength, 9.5); }
int32_t AgeLineX(int32_t byteLength) { return CentredX(byteLength, 10); }

OwnedText ShownIdText(const char* id) {
  if (TextLength(id) <= kLongestShownId) return OwnedText::Copy(TextView(id));
  const OwnedText head = CallCoreText(&commands::TextLeft, {MakeText(id), MakeInteger(kShortenedIdBytes)});
  return OwnedText::Copy(std::string(head.view()) + texts::kEllipsis);
}

OwnedText AgeLineText(const char* age) {
  return OwnedText::Copy(std::string(texts::kAgePrefix) + std::string(TextView(age)) + texts::kAgeSuffix);
}

}  // namespace quorlin::app
