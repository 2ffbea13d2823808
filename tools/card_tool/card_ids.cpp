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

// The text in GBK; false when it is not UTF-8 or holds a character GBK lacks.
bool StrictUtf8ToGbk(std::string_view utf8, std::string& gbk) {
  const int length = static_cast<int>(utf8.size());
  const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (units <= 0) return false;
  std::u16string wide(static_cast<size_t>(units), u'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), units);
  BOOL usedDefault = FALSE;
  const LPCWSTR wideUnits = wide.data();
  const int bytes = WideCharToMultiByte(CP_GBK, 0, wideUnits, units, nullptr, 0, nullptr, &usedDefault);
  if (bytes <= 0 || usedDefault) return false;
  gbk.assign(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_GBK, 0, wideUnits, units, gbk.data(), bytes, nullptr, &usedDefault);
  return !usedDefault;
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
  if (utf8.empty() || HasControlCharacter(utf8) || !StrictUtf8ToGbk(utf8, id.gbk)) return id;
  if (!app::IsPlainFileStem(id.gbk)) return id;
  id.fileName = platform::GbkToUtf8(id.gbk);
  id.usable = true;
  return id;
}

}  // namespace quorlin::card_tool
