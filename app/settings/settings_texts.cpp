#include "app/settings/settings_texts.h"

#include "app/constant_segment.h"

namespace quorlin::app::texts {

QUORLIN_CONSTANT extern const char kSectionSz[] = "sz";
QUORLIN_CONSTANT extern const char kSectionBack[] = "back";
QUORLIN_CONSTANT extern const char kSectionFont[] = "font";
QUORLIN_CONSTANT extern const char kKeySet[] = "set";
QUORLIN_CONSTANT extern const char kKeyUrl[] = "url";
QUORLIN_CONSTANT extern const char kKeyTouxiang[] = "touxiang";
QUORLIN_CONSTANT extern const char kKeyTouxiangUrl[] = "touxiangurl";
QUORLIN_CONSTANT extern const char kKeyColor[] = "color";
QUORLIN_CONSTANT extern const char kKeyName[] = "name";
QUORLIN_CONSTANT extern const char kKeySave[] = "save";
QUORLIN_CONSTANT extern const char kOne[] = "1";
QUORLIN_CONSTANT extern const char kZero[] = "0";
QUORLIN_CONSTANT extern const char kHeiTi[] = "黑体";
QUORLIN_CONSTANT extern const char kSongTi[] = "宋体";
QUORLIN_CONSTANT extern const char kIniFileName[] = "\\quorlin.ini";
QUORLIN_CONSTANT extern const char kPictureFilter[] = "图片文件（*.jpg;*.gif;*.png;*.bmp）|*.jpg;*.gif;*.png;*.bmp";
QUORLIN_CONSTANT extern const char kMainWindowTitle[] = "Quorlin    - by Tamsk";

}  // namespace quorlin::app::texts
