// What the scenario player needs from the forms layer, and the player's one entry point.
//
// The scenario player is the end-to-end test driver: with QUORLIN_DISPLAY=headless and
// QUORLIN_SCENARIO=FILE it performs the steps of FILE through the real input paths and prints
// a transcript on standard output. It knows nothing of templates or unit types; the forms layer
// answers these questions for it.
//
// Everything here runs on the window thread. Texts crossing this interface (titles, unit names,
// property values) are the runtime's own GBK bytes; the player converts them for the transcript.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::forms {

struct ScenarioWindow {
  HWND window = 0;     // the window unit's live window
  std::string title;   // its current title
  bool active = false; // the active window of the program
};

// Told of every window of the program that opens or closes.
class ScenarioWindowObserver {
 public:
  virtual ~ScenarioWindowObserver() = default;
  // After CreateWindowFromTemplate has created the window and raised its start events (so the
  // title is the one the created handler set). Not called for a window that closed during them
  // (it is then reported neither opened nor closed), nor when an open window is only brought to the front.
  virtual void WindowOpened(HWND window, const std::string& title) = 0;
  // While the window is being destroyed, with the title it had.
  virtual void WindowClosed(HWND window, const std::string& title) = 0;
};

class ScenarioHost {
 public:
  virtual ~ScenarioHost() = default;

  // The program's open windows in the order they were opened, the oldest first.
  virtual std::vector<ScenarioWindow> OpenWindows() = 0;

  // Looks up a unit by name among the units of the open window `window` (the window unit itself
  // has no name and is not found). False when the window has no unit of that name; otherwise
  // true with `unitWindow` set to the unit's live window, or 0 for a unit that has none (a unit
  // that is not created, such as a common dialog).
  virtual bool FindUnit(HWND window, std::string_view unitName, HWND& unitWindow) = 0;

  // The value of property `index` of the named unit of `window`, as the transcript shows it:
  // a text as its bytes, a byte set as its length in decimal, numbers and booleans as the
  // runtime's conversion to text prints them. False, with `reason` (ASCII) set, when it cannot
  // be read — no such unit, no such property, no live window for a type-specific property —
  // instead of raising the runtime error a program's read would raise.
  virtual bool ReadPropertyText(HWND window, std::string_view unitName, int index, std::string& value,
                                std::string& reason) = 0;

  // A close request to an open window, as the frame's close box gives it (WM_CLOSE posted): the
  // window's close events run and may keep it open.
  virtual void RequestClose(HWND window) = 0;

  // Null stops the notifications. The observer stays alive until the process ends.
  virtual void SetWindowObserver(ScenarioWindowObserver* observer) = 0;
};

// Starts the scenario player when QUORLIN_DISPLAY is "headless" and QUORLIN_SCENARIO names a
// file (a relative name leads from the program's folder, the current folder once the kernel has
// started); does nothing otherwise. The forms layer calls it once, when the start-up window has been
// shown and before the message loop runs; `host` must live until the process ends. The player
// then works from a timer on the window thread and ends the program itself: after its last step
// as `quit` does, at once with a non-zero status after an error.
void StartScenarioFromEnvironment(ScenarioHost& host);

}  // namespace quorlin::forms
