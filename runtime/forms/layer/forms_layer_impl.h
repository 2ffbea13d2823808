// Inside the forms layer: the FormsLayer the kernel calls, with the live state of the open
// windows. The unit objects are owned here, keyed by form and unit; a unit record's live-object
// field points at its object while the window exists.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/forms/scenario/scenario_host.h"
#include "runtime/forms/template/form_template.h"
#include "runtime/forms/units/event_record.h"
#include "runtime/forms/units/unit_type.h"
#include "runtime/forms/units/window_unit.h"
#include "runtime/kernel/forms_layer.h"

namespace quorlin::forms {

struct LiveForm {
  uint64_t openedSerial = 0;  // the order windows were opened in
  std::map<uint32_t, std::unique_ptr<Unit>> units;  // by unit id, the window unit too
  WindowUnit* window = nullptr;
};

class FormsLayerImpl final : public FormsLayer, public ScenarioHost {
 public:
  static FormsLayerImpl& Instance();

  // --- FormsLayer
  bool ReadTemplates(const uint8_t* data, size_t length, uintptr_t codeBase, FormTable& forms) override;
  bool CreateWindowFromTemplate(FormTemplate& form, bool reuse, bool modal, void* parentWindow) override;
  bool AnyLiveWindow() override;
  void DestroyAllWindows() override;
  uint64_t ReadUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member) override;
  void WriteUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member, uint32_t low,
                         uint32_t high) override;
  intptr_t Service(int32_t code, intptr_t p1, intptr_t p2, bool& handled) override;
  // Tab and Shift+Tab move the focus between the units of a form (MoveFocusByTab).
  bool PreTranslateMessage(const MSG& msg) override;

  // --- ScenarioHost
  std::vector<ScenarioWindow> OpenWindows() override;
  bool FindUnit(HWND window, std::string_view unitName, HWND& unitWindow) override;
  bool ReadPropertyText(HWND window, std::string_view unitName, int index, std::string& value,
                        std::string& reason) override;
  void RequestClose(HWND window) override;
  void SetWindowObserver(ScenarioWindowObserver* observer) override;

  // --- inside the layer
  // Event dispatch (services 2008 and 2031): true if a handler ran.
  bool DispatchEvent(uint32_t formId, uint32_t unitId, int32_t eventIndex, const uint64_t* arguments,
                     int32_t argumentCount, bool& hasResult, uint64_t& result);
  // The live object of a unit (unit id 0 = the window), or null.
  Unit* LiveUnit(uint32_t formId, uint32_t unitId);
  bool IsLiveObject(const void* object) const;
  // Service 2000.
  void UnitDestroyed(uint32_t formId, uint32_t unitId);
  // Called by the window unit as its destruction begins.
  void WindowDestroying(WindowUnit& window);

  // While above 0 no event reaches the application (a unit is being re-created).
  int eventsHeld = 0;

 private:
  FormsLayerImpl() = default;
  LiveForm* Live(uint32_t formId);
  void CreateUnits(LoadedForm& form, LiveForm& live, HWND window);
  void Recreate(LoadedForm& form, UnitRecord& record);
  bool ReadOwnProperty(LoadedForm& form, UnitRecord& record, int32_t property, int32_t member, TypedValue& out,
                       bool raise);

  std::map<uint32_t, LiveForm> live_;
  uint64_t nextSerial_ = 1;
  ScenarioWindowObserver* observer_ = nullptr;
  friend struct PropertyAccess;
};

// A typed event argument as the handler receives it: flag bit 0 passes the low word unchanged;
// flag bit 1 and the menu-item type pass both words; byte and short values are widened (short
// with its sign); 8-byte values and pointers (texts, byte sets, subroutine pointers, arrays)
// pass both words; all others the low word.
uint64_t HandlerValueOf(const EventArgument& argument);

// The loaded form of that id, or null.
LoadedForm* LoadedFormOf(uint32_t formId);

}  // namespace quorlin::forms
