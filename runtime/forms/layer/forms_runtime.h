// The forms layer: the kernel's FormsLayer over the window templates and the unit types, the
// records its services take, and the unit methods the application calls as core commands.
#pragma once

#include <cstdint>

#include "runtime/forms/scenario/scenario_host.h"
#include "runtime/kernel/command.h"

namespace quorlin::forms {

// Registers the built-in unit types and the forms layer with the kernel. Call once before
// start-up; further calls do nothing.
void InstallFormsLayer();

// The layer as the scenario player sees it.
ScenarioHost& FormsScenarioHost();

// Service 2005's record.
struct LoadWindowRequest {
  uint32_t formId = 0;
  void* parentWindowObject = nullptr;  // a window unit's live object, or null
  uint32_t modal = 0;
};

// The font record a whole-font property write (member index -1) points to.
struct FontRecord {
  int32_t angle = 0;  // tenths of a degree
  int32_t bold = 0;
  int32_t italic = 0;
  int32_t underline = 0;
  int32_t strikeOut = 0;
  int32_t size = 9;          // points
  const char* face = nullptr;  // a text, null = the empty text
};

// Unit methods (commands of the core library; the first argument is the unit reference).
// LoadWindow (window; parent window, optional; modal flag, optional) → boolean.
void LoadWindowCommand(TypedValue* result, int32_t argCount, TypedValue* args);
// GetWindowHandle (unit) → integer.
void GetWindowHandleCommand(TypedValue* result, int32_t argCount, TypedValue* args);
// ProcessPendingMessages () → nothing.
void ProcessPendingMessagesCommand(TypedValue* result, int32_t argCount, TypedValue* args);

// Dispatches every waiting message; returns when the queue is empty or the quit message is
// next, which stays in the queue.
void ProcessPendingMessages();

}  // namespace quorlin::forms
