// The cookies a reply sets, taken from its header block.
#pragma once

#include "app/support/runtime_calls.h"

namespace quorlin::app::web {

// One entry per line holding "Set-Cookie", in line order: the trimmed text between
// "Set-Cookie:" and the next ";" (name=value), each followed by "; ". Empty without such lines.
OwnedText CookiesOfReplyHeaders(const char* headerBlock);

}  // namespace quorlin::app::web
