// The scenario player: performs a script's steps on the running program and prints the
// transcript (scenario_host.h tells what it is for).
//
// It steps from the kernel's idle callbacks, so a step starts only when the window thread's
// queue is empty — the input of the step before has been handled, windows repainted — and never
// inside a modal loop or a handler's ProcessPendingMessages — but also while a request waits
// with the program's input held (input_held_wait.h): its input then waits for the request, as
// a user's would, and a shot shows the screen during the wait. A short timer of its own wakes
// the message loop for waits. Relative paths of the script lead from the script's folder.
//
// The transcript: `window open TITLE` for the windows already open at the start and for each
// one opened later, `window close TITLE`, `prop UNIT INDEX = VALUE`, `msgbox CAPTION | TEXT`,
// `dialog KIND FILTER | INITIAL`, `clipboard empty`, `error LINE: REASON` (line 0: the script
// could not be read; the line after the last: the program did not end after the final close
// requests) and last `exit CODE` with the program's exit code as a signed number (-1 after a
// runtime error, ScenarioErrorExitCode after a scenario error).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "runtime/forms/scenario/scenario_host.h"
#include "runtime/forms/scenario/scenario_script.h"
#include "runtime/forms/scenario/scenario_transcript.h"

namespace quorlin::forms {

// The exit status of a program that a scenario error ended.
inline constexpr int32_t ScenarioErrorExitCode = 2;
// How long the program may take to end after the last step's close requests.
inline constexpr uint64_t ScenarioEndTimeoutMs = 10000;

class ScenarioPlayer final : public ScenarioWindowObserver {
 public:
  ScenarioPlayer(ScenarioHost& host, ScenarioScript script, std::filesystem::path baseDirectory, std::FILE* transcript);
  ScenarioPlayer(const ScenarioPlayer&) = delete;
  ScenarioPlayer& operator=(const ScenarioPlayer&) = delete;
  ~ScenarioPlayer() override;

  // Prints the windows already open, installs the hooks (window, message box and dialog
  // observers, the exit observer) and starts stepping. A script that failed to parse is
  // reported at the first step, from the message loop.
  void Start();

  void WindowOpened(HWND window, const std::string& title) override;
  void WindowClosed(HWND window, const std::string& title) override;

  ScenarioTranscript& Transcript() { return transcript_; }

 private:
  enum class Flow { Next, Yield, Failed };
  struct UnitLocation {
    HWND window = 0;      // the open window the unit belongs to
    HWND unitWindow = 0;  // its live window, 0 when it has none
  };

  static void IdleStep(HWND window, void* player);
  static void HeldWaitStep(void* player);
  bool MayStepDuringHeldWait() const;
  void Step();
  Flow Perform(const ScenarioStep& step);
  Flow Fail(int line, const std::string& reason);

  Flow Click(const ScenarioStep& step);
  Flow Focus(const ScenarioStep& step);
  Flow Type(const ScenarioStep& step);
  Flow Key(const ScenarioStep& step);
  Flow Close(const ScenarioStep& step);
  Flow Quit();
  Flow Prop(const ScenarioStep& step);
  Flow Shot(const ScenarioStep& step);
  // In scenario_shell_steps.cpp: the steps and hooks over the shell services.
  Flow Answer(const ScenarioStep& step);
  Flow Drop(const ScenarioStep& step);
  Flow Clipboard(const ScenarioStep& step);
  void InstallShellHooks();
  void RemoveShellHooks();

  // The unit of that (script) name: in the active window first, then in the other open
  // windows in the order they were opened. On failure the reason is set.
  std::optional<UnitLocation> FindUnit(const std::string& name, std::string& reason);
  // The unit's live window, shown on the screen, for steps that aim at it.
  std::optional<HWND> ShownUnitWindow(const ScenarioStep& step, std::string& reason);
  std::filesystem::path ResolvePath(const std::string& path) const;

  ScenarioHost& host_;
  ScenarioScript script_;
  std::filesystem::path baseDirectory_;
  ScenarioTranscript transcript_;
  HWND pumpWindow_ = 0;
  size_t next_ = 0;
  uint64_t waitUntil_ = 0;
  bool ending_ = false;  // all steps done, close requests sent
  uint64_t endDeadline_ = 0;
  bool failed_ = false;
  bool busy_ = false;
  bool lastWasQuit_ = false;
  uint64_t heldWait_ = 0;  // the wait with input held that a `meanwhile` step entered
};

// Reads and parses a script file and starts a player that lives until the process ends. A file
// that cannot be read is reported as `error 0: …` at the first step.
void StartScenarioFile(ScenarioHost& host, const std::filesystem::path& file, std::FILE* transcript);

}  // namespace quorlin::forms
