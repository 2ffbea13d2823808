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

bool ToProgramText(std::string_view utf8, std::string& gbk) { return platform::Utf8ToGbkExactly(utf8, gbk); }

}  // namespace quorlin::forms
