// Reply bytes as text for the component's text members.
#pragma once

#include <string>
#include <string_view>

namespace quorlin::platform {

// The body decoded by its charset: a byte-order mark (UTF-8, UTF-16 LE or BE) decides first;
// then gbk, gb2312, gb18030 (and cp936) decode as GBK, iso-8859-1, latin1 and us-ascii as
// Latin-1, anything else (no charset included) as UTF-8. Undecodable bytes become U+FFFD
// (U+003F for GBK); nothing is dropped.
std::u16string DecodeReplyText(std::string_view body, std::string_view charset);

// Header bytes (names, values, the status text): UTF-8 when they are valid UTF-8, else Latin-1
// byte for byte, so that no header byte is lost.
std::u16string DecodeHeaderText(std::string_view bytes);

}  // namespace quorlin::platform
