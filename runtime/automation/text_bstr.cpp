#include "runtime/automation/text_bstr.h"

#include <string>

#include "platform/base/code_page.h"
#include "runtime/kernel/blocks.h"

namespace quorlin::automation {

BSTR BstrFromText(std::string_view text) { return platform::BstrFromAnsi(text.substr(0, text.find('\0'))); }

char* NewTextFromBstr(BSTR bstr) {
  std::u16string_view characters = platform::BstrView(bstr);
  characters = characters.substr(0, characters.find(u'\0'));
  if (characters.empty()) return nullptr;
  return NewText(platform::Utf16ToGbk(characters));
}

}  // namespace quorlin::automation
