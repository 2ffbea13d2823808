// The settings' constant texts: ini sections and keys, faces, the picture filter. They live in
// the program's constant segment (GBK at run time).
#pragma once

#include "app/constant_segment.h"

namespace quorlin::app::texts {

QUORLIN_CONSTANT_DECLARATION extern const char kSectionSz[];     // "sz"
QUORLIN_CONSTANT_DECLARATION extern const char kSectionBack[];   // "back"
QUORLIN_CONSTANT_DECLARATION extern const char kSectionFont[];   // "font"
QUORLIN_CONSTANT_DECLARATION extern const char kKeySet[];        // sz/set: small card
QUORLIN_CONSTANT_DECLARATION extern const char kKeyUrl[];        // back/url: background picture path
QUORLIN_CONSTANT_DECLARATION extern const char kKeyTouxiang[];   // sz/touxiang: online portrait
QUORLIN_CONSTANT_DECLARATION extern const char kKeyTouxiangUrl[];// sz/touxiangurl: local portrait path
QUORLIN_CONSTANT_DECLARATION extern const char kKeyColor[];      // sz/color: border colour
QUORLIN_CONSTANT_DECLARATION extern const char kKeyName[];       // font/name: face
QUORLIN_CONSTANT_DECLARATION extern const char kKeySave[];       // sz/save: save mode
QUORLIN_CONSTANT_DECLARATION extern const char kOne[];           // "1"
QUORLIN_CONSTANT_DECLARATION extern const char kZero[];          // "0"
QUORLIN_CONSTANT_DECLARATION extern const char kHeiTi[];         // "黑体"
QUORLIN_CONSTANT_DECLARATION extern const char kSongTi[];        // "宋体"
QUORLIN_CONSTANT_DECLARATION extern const char kIniFileName[];   // "\quorlin.ini"
QUORLIN_CONSTANT_DECLARATION extern const char kPictureFilter[]; // the filter of every picture choice
QUORLIN_CONSTANT_DECLARATION extern const char kMainWindowTitle[];

}  // namespace quorlin::app::texts
