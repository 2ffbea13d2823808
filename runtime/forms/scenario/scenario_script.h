// The scenario script: its steps as read from the file.
//
// A script is UTF-8 text, one step a line. Blank lines and lines whose first character after
// leading blanks is '#' are skipped; a '#' later in a line is part of the step (so `type #1`
// types "#1"). A line ends at LF; a CR before it is dropped. Words are separated by spaces or
// tabs. The steps:
//
//   click UNIT                 focus UNIT                  type TEXT (the rest of the line)
//   key NAME                   wait MS                     close TITLE (the rest of the line)
//   meanwhile MS
//   quit                       prop UNIT INDEX             shot FILE [UNIT]
//   clipboard FILE             drop UNIT PATH[<TAB>PATH…]  (the paths: the rest of the line)
//   answer open PATH | answer save PATH | answer font FACE | answer colour RRGGBB | answer cancel
//
// `meanwhile MS` comes after a step whose input makes the program wait for a request: once
// that wait has begun and MS more milliseconds passed, the following steps up to the next `wait`
// run during it (their input is held until the request is done, as a user's would be); that
// `wait` and the script's end come after the request.
//
// Texts stay UTF-8 here; the player converts what it hands to the program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlin::forms {

enum class StepKind { Click, Focus, Type, Key, Answer, Drop, Wait, Meanwhile, Close, Quit, Shot, Clipboard, Prop };

enum class AnswerKind { Open, Save, Font, Colour, Cancel };

struct ScenarioStep {
  int line = 0;  // 1-based line of the file
  StepKind kind = StepKind::Quit;
  std::string unit;                // click, focus, drop, prop, shot (empty: the whole screen)
  std::string text;                // type, close (the title), answer (path or face), shot and clipboard (the file)
  std::vector<std::string> paths;  // drop
  uint8_t virtualKey = 0;          // key
  AnswerKind answer = AnswerKind::Cancel;
  uint32_t colour = 0;             // answer colour, as 0x00RRGGBB
  uint32_t number = 0;             // wait and meanwhile (milliseconds), prop (the property index)
};

struct ScenarioScriptError {
  int line = 0;
  std::string reason;
};

struct ScenarioScript {
  std::vector<ScenarioStep> steps;
  std::optional<ScenarioScriptError> error;  // the first malformed line; no steps then
  int lineCount = 0;
};

// Longest wait a step may ask for, in milliseconds.
inline constexpr uint32_t MaxWaitMs = 600000;
// Scripts larger than this are refused.
inline constexpr size_t MaxScriptBytes = 1 << 20;

ScenarioScript ParseScenarioScript(std::string_view text);

// The virtual key of a `key` step's name (Enter, Escape, Space, Tab, Left, Right, Up, Down,
// Back, Delete, Home, End), 0 for any other name.
uint8_t VirtualKeyNamed(std::string_view name);

}  // namespace quorlin::forms
