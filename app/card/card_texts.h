// The card generation's constant texts (in the program's constant segment, GBK at run time).
#pragma once

#include "app/constant_segment.h"

namespace quorlin::app::texts {

QUORLIN_CONSTANT_DECLARATION extern const char kEnterId[];          // "请输入ID！"
QUORLIN_CONSTANT_DECLARATION extern const char kFetchFailed[];      // "获取资料失败"
QUORLIN_CONSTANT_DECLARATION extern const char kHttp[];             // "http://"
QUORLIN_CONSTANT_DECLARATION extern const char kProfilePath[];      // "/home/get/panel"
QUORLIN_CONSTANT_DECLARATION extern const char kProfileQuery[];     // "?ie=utf-8&un="
QUORLIN_CONSTANT_DECLARATION extern const char kPortraitPath[];     // "/sys/portraitl/item/"
QUORLIN_CONSTANT_DECLARATION extern const char kPortraitStart[];    // portrait":"
QUORLIN_CONSTANT_DECLARATION extern const char kQuoteEnd[];         // "
QUORLIN_CONSTANT_DECLARATION extern const char kQuotedAgeStart[];   // tb_age":"
QUORLIN_CONSTANT_DECLARATION extern const char kBareAgeStart[];     // tb_age":
QUORLIN_CONSTANT_DECLARATION extern const char kCommaEnd[];         // ,
QUORLIN_CONSTANT_DECLARATION extern const char kAgePrefix[];        // "吧龄: "
QUORLIN_CONSTANT_DECLARATION extern const char kAgeSuffix[];        // "年"
QUORLIN_CONSTANT_DECLARATION extern const char kEllipsis[];         // "..."

}  // namespace quorlin::app::texts
