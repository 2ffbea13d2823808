// A window template as loaded in memory: the form's record and its unit table, decoded. Texts
// are kept as the template's GBK bytes. Event bindings hold handler addresses (0 = no handler)
// once the template was read; they stay decoded because an address does not fit the 32-bit
// field of the data.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/kernel/forms_layer.h"

namespace quorlin::forms {

struct EventBinding {
  int32_t eventIndex = 0;
  uintptr_t handler = 0;

  bool operator==(const EventBinding&) const = default;
};

// One unit record. Menu items (id class 2) use the menu part; every other unit the common part.
struct UnitRecord {
  uint32_t unitId = 0;
  uint32_t dataType = 0;
  uint32_t eventSourceLink = 0;
  std::array<uint8_t, 16> reserved{};
  std::string name;
  std::string remark;

  // Common part.
  uintptr_t liveObject = 0;  // the runtime's window object while the window exists
  int32_t left = 0;
  int32_t top = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t cursorHandle = 0;  // the cursor created from the mouse pointer while the window exists
  uint32_t parentUnit = 0;    // 0 = the window itself
  std::vector<uint32_t> children;
  std::vector<uint8_t> mousePointer;
  std::string tag;
  uint32_t reservedWord = 0;
  uint32_t stateFlags = 0;
  uint32_t tabOrder = 0;
  std::vector<EventBinding> events;
  std::array<uint8_t, 20> reservedTail{};
  std::vector<uint8_t> typeData;  // the unit type's property block, version word first

  // Menu part.
  std::array<uint32_t, 3> menuWords{};  // the third holds the item's state bits
  std::string caption;
  uintptr_t menuHandler = 0;

  bool IsMenuItem() const;
  bool Visible() const;
  // The handler bound to an event, 0 when none; for a menu item its one handler.
  uintptr_t HandlerFor(int32_t eventIndex) const;

  bool operator==(const UnitRecord&) const = default;
};

struct LoadedForm : FormTemplate {
  uint32_t directoryWord = 0;  // the form directory's second word for this form; unused
  uint32_t reservedWord = 0;
  uint32_t codeModuleId = 0;
  std::string firstText;
  std::string secondText;
  std::vector<UnitRecord> units;  // entry 0 is the window unit

  // Window creation keeps a copy of the unit table; destroying the window puts it back, so
  // property values changed while the window was open are gone.
  void KeepUnitTableCopy();
  void RestoreUnitTableCopy();
  bool HasUnitTableCopy() const { return hasSavedUnits_; }

 private:
  std::vector<UnitRecord> savedUnits_;
  bool hasSavedUnits_ = false;
};

// The loaded form of that id, or null.
LoadedForm* FindFormTemplate(FormTable& forms, uint32_t formId);
// The unit record of that id, or null; unit id 0 means entry 0, the window unit.
UnitRecord* FindUnitRecord(LoadedForm& form, uint32_t unitId);
const UnitRecord* FindUnitRecord(const LoadedForm& form, uint32_t unitId);

}  // namespace quorlin::forms
