#include "tools/card_tool/card_ids.h"

#include "app/saving/save_card.h"
#include "platform/base/code_page.h"

namespace quorlin::card_tool {
namespace {

bool HasControlCharacter(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> CollectIds(const std::vector<std::string>& arguments, std::istream& in) {
  std::vector<std::string> ids;
  for (const std::string& argument : arguments) {
    if (argument != "-") {
      ids.push_back(argument);
      continue;
    }
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) ids.push_back(line);
    }
    in.clear();  // a second "-" finds the input at its end
  }
  return ids;
}

CardId PrepareCardId(std::string_view utf8) {
  CardId id;
  id.given = utf8;
  if (utf8.empty() || HasControlCharacter(utf8) || !platform::Utf8ToGbkExactly(utf8, id.gbk)) return id;
  if (!app::CardFileName(id.gbk)) return id;
  id.fileName = platform::GbkToUtf8(id.gbk);
  id.usable = true;
  return id;
}

}  // namespace quorlin::card_tool
