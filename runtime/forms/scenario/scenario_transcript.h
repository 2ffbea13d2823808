// The transcript the scenario player prints: UTF-8 lines on one stream, each flushed as it is
// written, with CR and LF inside a line shown as \r and \n.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace quorlin::forms {

class ScenarioTranscript {
 public:
  explicit ScenarioTranscript(std::FILE* stream) : stream_(stream) {}
  void Line(std::string_view utf8);

 private:
  std::FILE* stream_;
};

// CR and LF as the two characters \r and \n; everything else as it is.
std::string EscapeLineBreaks(std::string_view text);

// A text of the program (GBK) as transcript text (UTF-8).
std::string ProgramText(std::string_view gbk);

// A script text (UTF-8) as the program's GBK; false when a character has no GBK form.
bool ToProgramText(std::string_view utf8, std::string& gbk);

}  // namespace quorlin::forms
