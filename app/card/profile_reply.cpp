#include "app/card/profile_reply.h"

#include "app/card/card_texts.h"
#include "app/web/text_helpers.h"

namespace quorlin::app {

bool ProfileBroughtNothing(const char* reply) { return reply == nullptr || *reply == '\0'; }

OwnedText PortraitOf(const char* reply) { return web::TextBetween(reply, texts::kPortraitStart, texts::kQuoteEnd); }

OwnedText ForumAgeOf(const char* reply) {
  OwnedText age = web::TextBetween(reply, texts::kQuotedAgeStart, texts::kQuoteEnd);
  if (age.empty()) age = web::TextBetween(reply, texts::kBareAgeStart, texts::kCommaEnd);
  return age;
}

}  // namespace quorlin::app
