#include "runtime/forms/scenario/scenario_script.h"

#include <array>
#include <utility>

#include "platform/user/virtual_keys.h"

namespace quorlin::forms {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    uint32_t min = 0;
    uint32_t code = 0;
    if ((b & 0xE0) == 0xC0) {
      length = 2, min = 0x80, code = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      length = 3, min = 0x800, code = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      length = 4, min = 0x10000, code = b & 0x07;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      code = code << 6 | (c & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

// Splits off the first word; `rest` is what follows it, its leading blanks kept.
std::string_view TakeWord(std::string_view& rest) {
  size_t start = 0;
  while (start < rest.size() && IsBlank(rest[start])) ++start;
  size_t end = start;
  while (end < rest.size() && !IsBlank(rest[end])) ++end;
  const std::string_view word = rest.substr(start, end - start);
  rest.remove_prefix(end);
  return word;
}

std::vector<std::string_view> Words(std::string_view rest) {
  std::vector<std::string_view> words;
  for (std::string_view word = TakeWord(rest); !word.empty(); word = TakeWord(rest)) words.push_back(word);
  return words;
}

// The text after the one blank that separates it from the keyword, kept as written.
std::string_view Verbatim(std::string_view rest) {
  if (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
  return rest;
}

bool ParseDecimal(std::string_view word, uint32_t max, uint32_t& value) {
  if (word.empty() || word.size() > 10) return false;
  uint64_t v = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > max) return false;
  value = static_cast<uint32_t>(v);
  return true;
}

bool ParseColour(std::string_view word, uint32_t& colour) {
  if (word.size() != 6) return false;
  uint32_t v = 0;
  for (char c : word) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    v = v << 4 | static_cast<uint32_t>(digit);
  }
  colour = v;
  return true;
}

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  const std::string_view tail = text.substr(text.size() - ending.size());
  for (size_t i = 0; i < ending.size(); ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != ending[i]) return false;
  }
  return true;
}

std::string Quoted(std::string_view word) { return "\"" + std::string(word) + "\""; }

// Parses one step; an empty result means the step is fine.
std::string ParseStep(std::string_view keyword, std::string_view rest, ScenarioStep& step) {
  const std::vector<std::string_view> words = Words(rest);
  auto unitStep = [&](StepKind kind) -> std::string {
    step.kind = kind;
    if (words.size() != 1) return std::string(keyword) + " takes one unit name";
    step.unit = words[0];
    return {};
  };
  auto textStep = [&](StepKind kind, const char* what) -> std::string {
    step.kind = kind;
    const std::string_view text = Verbatim(rest);
    if (text.empty()) return std::string(keyword) + " needs " + what;
    step.text = text;
    return {};
  };

  if (keyword == "click") return unitStep(StepKind::Click);
  if (keyword == "focus") return unitStep(StepKind::Focus);
  if (keyword == "type") return textStep(StepKind::Type, "a text");
  if (keyword == "close") return textStep(StepKind::Close, "a window title");
  if (keyword == "key") {
    step.kind = StepKind::Key;
    if (words.size() != 1) return "key takes one key name";
    step.virtualKey = VirtualKeyNamed(words[0]);
    if (step.virtualKey == 0) return "unknown key " + Quoted(words[0]);
    return {};
  }
  if (keyword == "wait" || keyword == "meanwhile") {
    step.kind = keyword == "wait" ? StepKind::Wait : StepKind::Meanwhile;
    if (words.size() != 1 || !ParseDecimal(words[0], MaxWaitMs, step.number)) {
      return std::string(keyword) + " takes milliseconds from 0 to " + std::to_string(MaxWaitMs);
    }
    return {};
  }
  if (keyword == "quit") {
    step.kind = StepKind::Quit;
    if (!words.empty()) return "quit takes nothing";
    return {};
  }
  if (keyword == "prop") {
    step.kind = StepKind::Prop;
    if (words.size() != 2 || !ParseDecimal(words[1], 9999, step.number)) {
      return "prop takes a unit name and a property index";
    }
    step.unit = words[0];
    return {};
  }
  if (keyword == "shot") {
    step.kind = StepKind::Shot;
    if (words.empty() || words.size() > 2) return "shot takes a file and an optional unit name";
    if (!EndsWithNoCase(words[0], ".png") && !EndsWithNoCase(words[0], ".bmp")) {
      return "shot writes a .png or .bmp file";
    }
    step.text = words[0];
    if (words.size() == 2) step.unit = words[1];
    return {};
  }
  if (keyword == "clipboard") {
    step.kind = StepKind::Clipboard;
    if (words.size() != 1) return "clipboard takes one file";
    step.text = words[0];
    return {};
  }
  if (keyword == "drop") {
    step.kind = StepKind::Drop;
    std::string_view tail = rest;
    const std::string_view unit = TakeWord(tail);
    tail = Verbatim(tail);
    if (unit.empty() || tail.empty()) return "drop takes a unit name and paths";
    step.unit = unit;
    while (true) {
      const size_t tab = tail.find('\t');
      const std::string_view path = tail.substr(0, tab);
      if (path.empty()) return "drop has an empty path";
      step.paths.emplace_back(path);
      if (tab == std::string_view::npos) break;
      tail.remove_prefix(tab + 1);
    }
    return {};
  }
  if (keyword == "answer") {
    step.kind = StepKind::Answer;
    std::string_view tail = rest;
    const std::string_view what = TakeWord(tail);
    const std::string_view value = Verbatim(tail);
    static constexpr std::array<std::pair<std::string_view, AnswerKind>, 4> withValue{{
        {"open", AnswerKind::Open}, {"save", AnswerKind::Save}, {"font", AnswerKind::Font}, {"colour", AnswerKind::Colour}}};
    if (what == "cancel") {
      step.answer = AnswerKind::Cancel;
      if (!Words(tail).empty()) return "answer cancel takes nothing";
      return {};
    }
    for (const auto& [name, kind] : withValue) {
      if (what != name) continue;
      step.answer = kind;
      if (kind == AnswerKind::Colour) {
        const std::vector<std::string_view> colour = Words(tail);
        if (colour.size() != 1 || !ParseColour(colour[0], step.colour)) return "answer colour takes RRGGBB";
        return {};
      }
      if (value.empty()) return "answer " + std::string(name) + " needs a value";
      step.text = value;
      return {};
    }
    return "answer takes open, save, font, colour or cancel";
  }
  return "unknown step " + Quoted(keyword);
}

}  // namespace

uint8_t VirtualKeyNamed(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, int>, 12> keys{{
      {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Space", VK_SPACE}, {"Tab", VK_TAB},
      {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Up", VK_UP}, {"Down", VK_DOWN},
      {"Back", VK_BACK}, {"Delete", VK_DELETE}, {"Home", VK_HOME}, {"End", VK_END}}};
  for (const auto& [keyName, key] : keys) {
    if (keyName == name) return static_cast<uint8_t>(key);
  }
  return 0;
}

ScenarioScript ParseScenarioScript(std::string_view text) {
  ScenarioScript script;
  if (text.size() > MaxScriptBytes) {
    script.error = ScenarioScriptError{0, "the script is larger than " + std::to_string(MaxScriptBytes) + " bytes"};
    return script;
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int lineNumber = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    auto fail = [&](std::string reason) {
      script.steps.clear();
      script.error = ScenarioScriptError{lineNumber, std::move(reason)};
    };
    if (!IsValidUtf8(line)) {
      fail("the line is not UTF-8");
      break;
    }
    if (line.find('\0') != std::string_view::npos || line.find('\r') != std::string_view::npos) {
      fail("the line holds a control character");
      break;
    }
    std::string_view rest = line;
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (rest.empty() || rest.front() == '#') continue;

    ScenarioStep step;
    step.line = lineNumber;
    const std::string_view keyword = TakeWord(rest);
    std::string reason = ParseStep(keyword, rest, step);
    if (!reason.empty()) {
      fail(std::move(reason));
      break;
    }
    script.steps.push_back(std::move(step));
  }
  script.lineCount = lineNumber;
  return script;
}

}  // namespace quorlin::forms
