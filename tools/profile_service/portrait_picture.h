// Generated portraits: a distinct small PNG picture for each portrait identifier.
#pragma once

#include <string>
#include <string_view>

namespace quorlin::profile_service {

inline constexpr int kPortraitSize = 110;

// A 110 × 110 PNG file image whose colours and pattern follow from the identifier; the same
// identifier always gives the same bytes. Empty if encoding failed.
std::string MakePortraitPng(std::string_view portrait);

}  // namespace quorlin::profile_service
