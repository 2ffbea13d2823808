#include "app/card/card_urls.h"

#include <initializer_list>
#include <string>
#include <string_view>

#include "app/card/card_texts.h"
#include "app/card/service_hosts.h"
#include "app/web/text_helpers.h"
#include "runtime/kernel/blocks.h"

namespace quorlin::app {
namespace {

OwnedText Join(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (const std::string_view part : parts) joined += part;
  return OwnedText::Copy(joined);
}

}  // namespace

OwnedText ProfileUrlOf(const char* id) {
  const OwnedText encodedId = web::UrlEncode(id);
  return Join({texts::kHttp, ProfileHost(), texts::kProfilePath, texts::kProfileQuery, encodedId.view()});
}

OwnedText PortraitUrlOf(const char* portrait) {
  return Join({texts::kHttp, PortraitHost(), texts::kPortraitPath, TextView(portrait)});
}

}  // namespace quorlin::app
