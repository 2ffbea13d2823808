// The texts the demo profile service answers with, and the reading of its query strings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/profile_service/member_directory.h"

namespace quorlin::profile_service {

// %XX becomes its byte and '+' a space; a '%' without two hexadecimal digits stays as it is.
std::string PercentDecode(std::string_view text);

// The decoded value of the first key=value pair with this key in a query string (without '?').
std::optional<std::string> QueryValue(std::string_view query, std::string_view key);

// The panel reply for a member: {"no":0,"error":"","data":{…,"portrait":"…","tb_age":"…",…}}.
// Texts are ASCII; names travel as \u escapes.
std::string PanelReply(const Member& member);
// The reply for a name nobody has: an error number and text, no portrait and no tb_age.
std::string UnknownMemberReply();

}  // namespace quorlin::profile_service
