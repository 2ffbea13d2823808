#include "app/card/card_texts.h"

#include "app/constant_segment.h"

namespace quorlin::app::texts {

QUORLIN_CONSTANT extern const char kEnterId[] = "请输入ID！";
QUORLIN_CONSTANT extern const char kFetchFailed[] = "获取资料失败";
QUORLIN_CONSTANT extern const char kHttp[] = "http://";
QUORLIN_CONSTANT extern const char kProfilePath[] = "/home/get/panel";
QUORLIN_CONSTANT extern const char kProfileQuery[] = "?ie=utf-8&un=";
QUORLIN_CONSTANT extern const char kPortraitPath[] = "/sys/portraitl/item/";
QUORLIN_CONSTANT extern const char kPortraitStart[] = "portrait\":\"";
QUORLIN_CONSTANT extern const char kQuoteEnd[] = "\"";
QUORLIN_CONSTANT extern const char kQuotedAgeStart[] = "tb_age\":\"";
QUORLIN_CONSTANT extern const char kBareAgeStart[] = "tb_age\":";
QUORLIN_CONSTANT extern const char kCommaEnd[] = ",";
QUORLIN_CONSTANT extern const char kAgePrefix[] = "吧龄: ";
QUORLIN_CONSTANT extern const char kAgeSuffix[] = "年";
QUORLIN_CONSTANT extern const char kEllipsis[] = "...";

// Whatever compiler built the program, its texts are the system code page's bytes: "吧龄: " is
// two double-byte characters (吧 is 0xB0 0xC9), a colon and a space.
static_assert(sizeof(kAgePrefix) == 7 && static_cast<unsigned char>("吧龄: "[0]) == 0xB0 &&
              static_cast<unsigned char>("吧龄: "[1]) == 0xC9);

}  // namespace quorlin::app::texts
