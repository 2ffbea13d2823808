#include "app/web/reply_cookies.h"

#include <string>

#include "app/constant_segment.h"
#include "app/web/call_helpers.h"
#include "app/web/text_helpers.h"
#include "runtime/commands/text_commands.h"

namespace quorlin::app::web {
namespace {

QUORLIN_CONSTANT const char kLineBreak[] = "\r\n";
QUORLIN_CONSTANT const char kSetCookie[] = "Set-Cookie";
QUORLIN_CONSTANT const char kSetCookieMarker[] = "Set-Cookie:";
QUORLIN_CONSTANT const char kAttributeSeparator[] = ";";
QUORLIN_CONSTANT const char kEntryEnd[] = "; ";

}  // namespace

OwnedText CookiesOfReplyHeaders(const char* headerBlock) {
  std::string cookies;
  const OwnedTextArray lines = SplitLines(headerBlock, kLineBreak);
  for (size_t i = 0; i < lines.size(); ++i) {
    const char* line = lines[i];
    if (CallCoreInteger(&commands::FindText, {MakeText(line), MakeText(kSetCookie)}) == -1) continue;
    const OwnedText between = TextBetween(line, kSetCookieMarker, kAttributeSeparator);
    const OwnedText entry = CallCoreText(&commands::TrimBoth, {MakeText(between.get())});
    cookies += entry.view();
    cookies += kEntryEnd;
  }
  return OwnedText::Copy(cookies);
}

}  // namespace quorlin::app::web
