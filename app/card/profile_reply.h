// The two fields the card takes out of the profile service's reply, by plain text search
// between markers (the reply is not parsed as JSON).
#pragma once

#include "app/support/runtime_calls.h"

namespace quorlin::app {

// True when the profile request brought back nothing at all — refused, timed out or an empty
// body: the card is then shown without a portrait request and not saved. A reply that lacks the
// fields (an unknown member) is still a reply.
bool ProfileBroughtNothing(const char* reply);

// The value after the first portrait":" up to the next quote.
OwnedText PortraitOf(const char* reply);
// A quoted tb_age value; when that is empty, the bare value after tb_age": up to the next comma.
OwnedText ForumAgeOf(const char* reply);

}  // namespace quorlin::app
