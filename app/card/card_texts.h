// The card generation's constant texts (in the program's constant segment, GBK at run time).
#pragma once

namespace quorlin::app::texts {

extern const char kEnterId[];          // "请输入ID！"
extern const char kHttp[];             // "http://"
extern const char kProfilePath[];      // "/home/get/panel"
extern const char kProfileQuery[];     // "?ie=utf-8&un="
extern const char kPortraitPath[];     // "/sys/portraitl/item/"
extern const char kPortraitStart[];    // portrait":"
extern const char kQuoteEnd[];         // "
extern const char kQuotedAgeStart[];   // tb_age":"
extern const char kBareAgeStart[];     // tb_age":
extern const char kCommaEnd[];         // ,
extern const char kAgePrefix[];        // "吧龄: "
extern const char kAgeSuffix[];        // "年"
extern const char kEllipsis[];         // "..."

}  // namespace quorlin::app::texts
