#include "app/handler_table.h"

#include "app/card/card_handlers.h"
#include "app/forms/handler_ids.h"
#include "app/settings/main_window_presence.h"
#include "app/settings/settings_handlers.h"

namespace quorlin::app {
namespace {

constexpr size_t Index(HandlerId id) { return static_cast<size_t>(id); }

// Indexed by HandlerId.
constexpr size_t kTableSize = kHandlerCount;

constexpr auto MakeTable() {
  struct Table {
    forms::EventHandler entries[kTableSize] = {};
  } table;
  table.entries[Index(HandlerId::LoadSettings)] = &LoadSettings;
  table.entries[Index(HandlerId::GenerateCard)] = &GenerateCard;
  table.entries[Index(HandlerId::OpenSettings)] = &OpenSettings;
  table.entries[Index(HandlerId::ChooseBackground)] = &ChooseBackground;
  table.entries[Index(HandlerId::ChooseFont)] = &ChooseFont;
  table.entries[Index(HandlerId::DropOnCard)] = &DropOnCard;
  table.entries[Index(HandlerId::DropOnPortrait)] = &DropOnPortrait;
  table.entries[Index(HandlerId::ChoosePortrait)] = &ChoosePortrait;
  table.entries[Index(HandlerId::ShowSettings)] = &ShowSettings;
  table.entries[Index(HandlerId::ApplySettings)] = &ApplySettings;
  table.entries[Index(HandlerId::MainWindowClosed)] = &MainWindowClosed;
  return table;
}

constexpr auto kHandlers = MakeTable();

}  // namespace

const forms::EventHandler* HandlerTable() { return kHandlers.entries; }
size_t HandlerTableSize() { return kTableSize; }

}  // namespace quorlin::app
