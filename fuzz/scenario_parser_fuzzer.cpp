// Scenario scripts: parse arbitrary bytes and check what a parse promises — an error leaves no
// steps; otherwise the steps come in line order, each with the fields its kind needs.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "runtime/forms/scenario/scenario_script.h"

using namespace quorlin::forms;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ScenarioScript script = ParseScenarioScript(std::string_view(reinterpret_cast<const char*>(data), size));
  if (script.error) {
    Check(script.steps.empty());
    Check(script.error->line >= 0 && script.error->line <= script.lineCount);
    Check(!script.error->reason.empty());
    return 0;
  }
  int previousLine = 0;
  for (const ScenarioStep& step : script.steps) {
    Check(step.line > previousLine && step.line <= script.lineCount);
    previousLine = step.line;
    switch (step.kind) {
      case StepKind::Click:
      case StepKind::Focus:
      case StepKind::Prop: Check(!step.unit.empty()); break;
      case StepKind::Type:
      case StepKind::Close:
      case StepKind::Shot:
      case StepKind::Clipboard: Check(!step.text.empty()); break;
      case StepKind::Key: Check(step.virtualKey != 0); break;
      case StepKind::Wait:
      case StepKind::Meanwhile: Check(step.number <= MaxWaitMs); break;
      case StepKind::Drop:
        Check(!step.unit.empty() && !step.paths.empty());
        for (const auto& path : step.paths) Check(!path.empty() && path.find('\t') == std::string::npos);
        break;
      case StepKind::Answer:
        Check(step.answer == AnswerKind::Cancel || step.answer == AnswerKind::Colour || !step.text.empty());
        Check(step.colour <= 0xFFFFFF);
        break;
      case StepKind::Quit: break;
    }
    Check(step.text.find('\n') == std::string::npos && step.unit.find('\n') == std::string::npos);
  }
  return 0;
}
