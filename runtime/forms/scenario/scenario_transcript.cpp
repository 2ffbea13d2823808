#include "runtime/forms/scenario/scenario_transcript.h"

#include "platform/base/code_page.h"

namespace quorlin::forms {

std::string EscapeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

void ScenarioTranscript::Line(std::string_view utf8) {
  const std::string line = EscapeLineBreaks(utf8) + '\n';
  std::fwrite(line.data(), 1, line.size(), stream_);
  std::fflush(stream_);
}

std::string ProgramText(std::string_view gbk) { return platform::GbkToUtf8(gbk); }

bool ToProgramText(std::string_view utf8, std::string& gbk) {
  gbk.clear();
  if (utf8.empty()) return true;
  const int length = static_cast<int>(utf8.size());
  const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (wideLength <= 0) return false;
  std::u16string wide(static_cast<size_t>(wideLength), u'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), wideLength);
  BOOL usedDefault = FALSE;
  const int gbkLength = WideCharToMultiByte(CP_GBK, 0, wide.data(), wideLength, nullptr, 0, nullptr, &usedDefault);
  if (gbkLength <= 0 || usedDefault) return false;
  gbk.resize(static_cast<size_t>(gbkLength));
  WideCharToMultiByte(CP_GBK, 0, wide.data(), wideLength, gbk.data(), gbkLength, nullptr, &usedDefault);
  return !usedDefault;
}

}  // namespace quorlin::forms
