#include "runtime/forms/scenario/scenario_player.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "platform/base/thread_services.h"
#include "platform/display/headless_display.h"
#include "platform/user/focus.h"
#include "platform/user/input_held_wait.h"
#include "platform/user/timers.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/scenario/screen_shot_file.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin::forms {
namespace {

constexpr const char* PumpWindowClass = "QuorlinScenarioPlayer";
constexpr UINT_PTR PumpTimerId = 1;
constexpr UINT PumpPeriodMs = 10;

// The player whose transcript gets the `exit` line; one per process.
ScenarioPlayer* g_exitReporter = nullptr;

void ReportExit(int32_t exitCode) {
  if (g_exitReporter) g_exitReporter->Transcript().Line("exit " + std::to_string(exitCode));
}

HWND CreatePumpWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &DefWindowProcA;
  windowClass.lpszClassName = PumpWindowClass;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
  return CreateWindowExA(0, PumpWindowClass, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

ScenarioPlayer::ScenarioPlayer(ScenarioHost& host, ScenarioScript script, std::filesystem::path baseDirectory,
                               std::FILE* transcript)
    : host_(host), script_(std::move(script)), baseDirectory_(std::move(baseDirectory)), transcript_(transcript) {}

ScenarioPlayer::~ScenarioPlayer() {
  host_.SetWindowObserver(nullptr);
  RemoveShellHooks();
  if (g_exitReporter == this) {
    Kernel().SetExitObserver(nullptr);
    g_exitReporter = nullptr;
  }
  platform::SetHeldWaitTick(nullptr, nullptr);
  if (pumpWindow_ && IsWindow(pumpWindow_)) {
    Kernel().RemoveIdleCallbacks(pumpWindow_);
    DestroyWindow(pumpWindow_);
  }
}

void ScenarioPlayer::Start() {
  for (const ScenarioWindow& open : host_.OpenWindows()) transcript_.Line("window open " + ProgramText(open.title));
  host_.SetWindowObserver(this);
  g_exitReporter = this;
  Kernel().SetExitObserver(&ReportExit);
  InstallShellHooks();
  pumpWindow_ = CreatePumpWindow();
  SetTimer(pumpWindow_, PumpTimerId, PumpPeriodMs, nullptr);
  Kernel().AddIdleCallback(pumpWindow_, &ScenarioPlayer::IdleStep, this);
  platform::SetHeldWaitTick(&ScenarioPlayer::HeldWaitStep, this);
}

void ScenarioPlayer::WindowOpened(HWND, const std::string& title) {
  transcript_.Line("window open " + ProgramText(title));
}

void ScenarioPlayer::WindowClosed(HWND, const std::string& title) {
  transcript_.Line("window close " + ProgramText(title));
}

void ScenarioPlayer::IdleStep(HWND, void* player) { static_cast<ScenarioPlayer*>(player)->Step(); }
void ScenarioPlayer::HeldWaitStep(void* player) {
  auto* self = static_cast<ScenarioPlayer*>(player);
  if (!self->ending_) self->Step();  // the end's deadline counts from the message loop
}

// During a wait with the input held only a `meanwhile` step, and the steps after it in the same
// wait up to a `wait`, may run: any other step waits for the request, as it waits for every
// handler, and so does the script's end.
bool ScenarioPlayer::MayStepDuringHeldWait() const {
  if (next_ >= script_.steps.size()) return false;
  const StepKind kind = script_.steps[next_].kind;
  if (kind == StepKind::Meanwhile) return true;
  return heldWait_ != 0 && heldWait_ == platform::HeldWaitSerial() && kind != StepKind::Wait;
}

void ScenarioPlayer::Step() {
  if (failed_ || busy_) return;
  if (script_.error) {
    Fail(script_.error->line, script_.error->reason);
    return;
  }
  const uint64_t now = GetTickCount64();
  if (now < waitUntil_) return;
  if (ending_) {
    // The last window's close ends the message loop; the program still running past the
    // deadline means a window refused to close.
    if (now >= endDeadline_) {
      Fail(script_.lineCount + 1, "the program still runs " + std::to_string(ScenarioEndTimeoutMs) +
                                      " ms after the close requests of the end");
    }
    return;
  }
  busy_ = true;
  const bool held = platform::InputHeld();
  while (next_ < script_.steps.size()) {
    if (held && !MayStepDuringHeldWait()) {
      busy_ = false;
      return;
    }
    const ScenarioStep& step = script_.steps[next_++];
    const Flow flow = Perform(step);
    lastWasQuit_ = step.kind == StepKind::Quit;
    if (flow != Flow::Next) {
      busy_ = false;
      return;
    }
  }
  busy_ = false;
  if (held) return;
  // Out of steps: the end behaves as `quit`.
  if (!lastWasQuit_) Quit();
  ending_ = true;
  endDeadline_ = GetTickCount64() + ScenarioEndTimeoutMs;
}

ScenarioPlayer::Flow ScenarioPlayer::Fail(int line, const std::string& reason) {
  failed_ = true;
  transcript_.Line("error " + std::to_string(line) + ": " + reason);
  Kernel().EndProgram(ScenarioErrorExitCode);
}

ScenarioPlayer::Flow ScenarioPlayer::Perform(const ScenarioStep& step) {
  switch (step.kind) {
    case StepKind::Click: return Click(step);
    case StepKind::Focus: return Focus(step);
    case StepKind::Type: return Type(step);
    case StepKind::Key: return Key(step);
    case StepKind::Answer: return Answer(step);
    case StepKind::Drop: return Drop(step);
    case StepKind::Wait:
      waitUntil_ = GetTickCount64() + step.number;
      return Flow::Yield;
    case StepKind::Meanwhile:
      heldWait_ = platform::HeldWaitSerial();
      if (heldWait_ == 0) return Fail(step.line, "no request waits for its reply");
      waitUntil_ = GetTickCount64() + step.number;
      return Flow::Yield;
    case StepKind::Close: return Close(step);
    case StepKind::Quit: return Quit();
    case StepKind::Shot: return Shot(step);
    case StepKind::Clipboard: return Clipboard(step);
    case StepKind::Prop: return Prop(step);
  }
  return Fail(step.line, "unknown step");
}

std::optional<ScenarioPlayer::UnitLocation> ScenarioPlayer::FindUnit(const std::string& name, std::string& reason) {
  std::string gbkName;
  if (!ToProgramText(name, gbkName)) {
    reason = "the unit name " + Quoted(name) + " has no GBK form";
    return std::nullopt;
  }
  std::vector<ScenarioWindow> windows = host_.OpenWindows();
  std::stable_partition(windows.begin(), windows.end(), [](const ScenarioWindow& w) { return w.active; });
  for (const ScenarioWindow& open : windows) {
    UnitLocation location{open.window, 0};
    if (host_.FindUnit(open.window, gbkName, location.unitWindow)) return location;
  }
  reason = "no unit " + Quoted(name) + " in the open windows";
  return std::nullopt;
}

std::optional<HWND> ScenarioPlayer::ShownUnitWindow(const ScenarioStep& step, std::string& reason) {
  const std::optional<UnitLocation> unit = FindUnit(step.unit, reason);
  if (!unit) return std::nullopt;
  if (!unit->unitWindow || !IsWindow(unit->unitWindow)) {
    reason = "the unit " + Quoted(step.unit) + " has no window";
    return std::nullopt;
  }
  if (!IsWindowVisible(unit->unitWindow)) {
    reason = "the unit " + Quoted(step.unit) + " is not shown";
    return std::nullopt;
  }
  return unit->unitWindow;
}

std::filesystem::path ScenarioPlayer::ResolvePath(const std::string& path) const {
  const std::filesystem::path given(path);
  return given.is_absolute() ? given : baseDirectory_ / given;
}

ScenarioPlayer::Flow ScenarioPlayer::Click(const ScenarioStep& step) {
  std::string reason;
  const std::optional<HWND> unitWindow = ShownUnitWindow(step, reason);
  if (!unitWindow) return Fail(step.line, reason);
  platform::HeadlessDisplay* display = platform::CurrentHeadlessDisplay();
  if (!display) return Fail(step.line, "the display is not the headless one");
  RECT rect{};
  GetWindowRect(*unitWindow, &rect);
  display->Click((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  return Flow::Yield;
}

ScenarioPlayer::Flow ScenarioPlayer::Focus(const ScenarioStep& step) {
  std::string reason;
  const std::optional<HWND> unitWindow = ShownUnitWindow(step, reason);
  if (!unitWindow) return Fail(step.line, reason);
  SetFocus(*unitWindow);
  if (GetFocus() != *unitWindow) return Fail(step.line, "the unit " + Quoted(step.unit) + " did not take the focus");
  return Flow::Yield;
}

ScenarioPlayer::Flow ScenarioPlayer::Type(const ScenarioStep& step) {
  std::string gbk;
  if (!ToProgramText(step.text, gbk)) return Fail(step.line, "the text has characters without a GBK form");
  platform::HeadlessDisplay* display = platform::CurrentHeadlessDisplay();
  if (!display) return Fail(step.line, "the display is not the headless one");
  if (!GetFocus()) return Fail(step.line, "no window has the focus");
  display->CommitText(gbk);
  return Flow::Yield;
}

ScenarioPlayer::Flow ScenarioPlayer::Key(const ScenarioStep& step) {
  platform::HeadlessDisplay* display = platform::CurrentHeadlessDisplay();
  if (!display) return Fail(step.line, "the display is not the headless one");
  display->TypeKey(step.virtualKey);
  return Flow::Yield;
}

ScenarioPlayer::Flow ScenarioPlayer::Close(const ScenarioStep& step) {
  for (const ScenarioWindow& open : host_.OpenWindows()) {
    if (ProgramText(open.title) == step.text) {
      host_.RequestClose(open.window);
      return Flow::Yield;
    }
  }
  return Fail(step.line, "no open window titled " + Quoted(step.text));
}

ScenarioPlayer::Flow ScenarioPlayer::Quit() {
  for (const ScenarioWindow& open : host_.OpenWindows()) host_.RequestClose(open.window);
  return Flow::Yield;
}

ScenarioPlayer::Flow ScenarioPlayer::Prop(const ScenarioStep& step) {
  std::string reason;
  const std::optional<UnitLocation> unit = FindUnit(step.unit, reason);
  if (!unit) return Fail(step.line, reason);
  std::string gbkName;
  ToProgramText(step.unit, gbkName);
  std::string value;
  if (!host_.ReadPropertyText(unit->window, gbkName, static_cast<int>(step.number), value, reason)) {
    return Fail(step.line, reason);
  }
  transcript_.Line("prop " + step.unit + " " + std::to_string(step.number) + " = " + ProgramText(value));
  return Flow::Next;
}

ScenarioPlayer::Flow ScenarioPlayer::Shot(const ScenarioStep& step) {
  platform::HeadlessDisplay* display = platform::CurrentHeadlessDisplay();
  if (!display) return Fail(step.line, "the display is not the headless one");
  ScreenPixels screen;
  screen.width = display->ScreenSize().cx;
  screen.height = display->ScreenSize().cy;
  RECT area{0, 0, screen.width, screen.height};
  if (!step.unit.empty()) {
    std::string reason;
    const std::optional<UnitLocation> unit = FindUnit(step.unit, reason);
    if (!unit) return Fail(step.line, reason);
    if (!unit->unitWindow || !IsWindow(unit->unitWindow)) {
      return Fail(step.line, "the unit " + Quoted(step.unit) + " has no window");
    }
    RECT rect{};
    GetWindowRect(unit->unitWindow, &rect);
    const RECT whole = area;
    if (!IntersectRect(&area, &rect, &whole)) return Fail(step.line, "the unit " + Quoted(step.unit) + " is off the screen");
  }
  screen.pixels = display->ReadScreen();
  std::string reason;
  const ScreenPixels picture = CropPixels(screen, area.left, area.top, area.right, area.bottom);
  if (!WritePictureFile(ResolvePath(step.text), picture, reason)) return Fail(step.line, reason);
  return Flow::Next;
}

void StartScenarioFile(ScenarioHost& host, const std::filesystem::path& file, std::FILE* transcript) {
  ScenarioScript script;
  std::ifstream in(file, std::ios::binary);
  std::string text;
  // Read piece by piece, so a short script takes only its own size; one byte past the limit is
  // enough to refuse the script.
  char piece[16384];
  while (in && text.size() <= MaxScriptBytes) {
    in.read(piece, static_cast<std::streamsize>(std::min(sizeof piece, MaxScriptBytes + 1 - text.size())));
    text.append(piece, static_cast<size_t>(in.gcount()));
  }
  if (!in && !in.eof()) {
    script.error = ScenarioScriptError{0, "cannot read the scenario " + file.string()};
  } else {
    script = ParseScenarioScript(text);
  }
  std::filesystem::path base = file.parent_path();
  if (base.empty()) base = ".";
  // Lives until the process ends, like the windows it drives.
  auto* player = new ScenarioPlayer(host, std::move(script), std::filesystem::absolute(base), transcript);
  player->Start();
}

}  // namespace quorlin::forms
