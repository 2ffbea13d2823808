// The routes of the demo profile service on a cpp-httplib server:
//   GET /home/get/panel?ie=utf-8&un=NAME   the member's panel text, or an error text
//   GET /sys/portraitl/item/PORTRAIT       the member's portrait picture, 404 for others
// Anything else is 404; a request target over kMaxTargetBytes is 414; bodies are refused.
#pragma once

#include <httplib.h>

#include "tools/profile_service/member_directory.h"

namespace quorlin::profile_service {

inline constexpr size_t kMaxTargetBytes = 4096;

// The members must outlive the server.
void InstallProfileRoutes(httplib::Server& server, const MemberDirectory& members);

}  // namespace quorlin::profile_service
