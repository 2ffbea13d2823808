// A profile reply (outside input) through the card's reading of it: the portrait and age
// fields, the shown ID and the age line with their positions. Checks the invariants the card
// relies on: shown IDs are at most 19 bytes, lines start inside the canvas's centring range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/card/card_layout.h"
#include "app/card/card_texts.h"
#include "app/card/profile_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorlin::app;
  // A text ends at its first zero byte, as the reply text does.
  const std::string reply(reinterpret_cast<const char*>(data), size);
  const char* text = reply.c_str();
  const OwnedText portrait = PortraitOf(text);
  const OwnedText age = ForumAgeOf(text);
  // The portrait value stands in for an ID here: both are texts of outside origin.
  const OwnedText shown = ShownIdText(portrait.get());
  if (shown.view().size() > 19) std::abort();
  if (portrait.view().size() <= 18 && shown.view() != portrait.view()) std::abort();
  if (IdLineX(static_cast<int32_t>(shown.view().size())) < 199) std::abort();
  const OwnedText ageLine = AgeLineText(age.get());
  const size_t frame = std::strlen(texts::kAgePrefix) + std::strlen(texts::kAgeSuffix);
  if (ageLine.view().size() != age.view().size() + frame) std::abort();
  AgeLineX(static_cast<int32_t>(ageLine.view().size()));
  return 0;
}
