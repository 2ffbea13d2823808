// The settings' constant texts: ini sections and keys, faces, the picture filter. They live in
// the program's constant segment (GBK at run time).
#pragma once

namespace quorlin::app::texts {

extern const char kSectionSz[];     // "sz"
extern const char kSectionBack[];   // "back"
extern const char kSectionFont[];   // "font"
extern const char kKeySet[];        // sz/set: small card
extern const char kKeyUrl[];        // back/url: background picture path
extern const char kKeyTouxiang[];   // sz/touxiang: online portrait
extern const char kKeyTouxiangUrl[];// sz/touxiangurl: local portrait path
extern const char kKeyColor[];      // sz/color: border colour
extern const char kKeyName[];       // font/name: face
extern const char kKeySave[];       // sz/save: save mode
extern const char kOne[];           // "1"
extern const char kZero[];          // "0"
extern const char kHeiTi[];         // "黑体"
extern const char kSongTi[];        // "宋体"
extern const char kIniFileName[];   // "\quorlin.ini"
extern const char kPictureFilter[]; // the filter of every picture choice
extern const char kMainWindowTitle[];

}  // namespace quorlin::app::texts
