// CreateWindowFromTemplate: the window unit first, then the other units from the last entry of
// the unit table back to entry 1, parents, cursors, the private messages, visibility and the
// start events; and the re-creation of one unit in place.
#include <functional>

#include "platform/user/cursors.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/layer/forms_layer_impl.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/units/builtin_unit_types.h"
#include "runtime/forms/units/event_record.h"
#include "runtime/forms/units/unit_support.h"

namespace quorlin::forms {
namespace {

constexpr UINT kUnitsCreatedMessage = 0x806F;
constexpr UINT kFormCreatedMessage = 0x8004;

namespace Event {
constexpr int32_t Created = 0;
constexpr int32_t Moved = 3;
constexpr int32_t Resized = 4;
}  // namespace Event

UnitCreation CreationOf(const LoadedForm& form, const UnitRecord& record, HWND parent) {
  UnitCreation creation;
  creation.typeData = record.typeData;
  creation.stateFlags = record.stateFlags;
  creation.parent = parent;
  creation.left = record.left;
  creation.top = record.top;
  creation.width = static_cast<int>(record.width);
  creation.height = static_cast<int>(record.height);
  creation.formId = form.formId;
  creation.unitId = record.unitId;
  return creation;
}

// The cursor of a unit's mouse-pointer block: four zero bytes (or none) is the default pointer.
HCURSOR CursorOf(const std::vector<uint8_t>& pointer) {
  if (pointer.size() < 4) return 0;
  const uint32_t code = pointer[0] | pointer[1] << 8 | pointer[2] << 16 | static_cast<uint32_t>(pointer[3]) << 24;
  if (code == 0 || code > 0xFFFF) return 0;
  return LoadCursorA(0, MAKEINTRESOURCEA(static_cast<WORD>(code)));
}

}  // namespace

void FormsLayerImpl::CreateUnits(LoadedForm& form, LiveForm& live, HWND window) {
  const uint32_t windowUnitId = form.units.front().unitId;
  std::map<uint32_t, HWND> areas;                  // created containers: where their units go
  std::map<uint32_t, std::vector<size_t>> waiting;  // units whose container comes later
  std::map<uint32_t, size_t> indexOf;
  for (size_t i = 0; i < form.units.size(); ++i) indexOf[form.units[i].unitId] = i;

  std::function<void(size_t, HWND)> create = [&](size_t i, HWND parent) {
    UnitRecord& record = form.units[i];
    const UnitCreation creation = CreationOf(form, record, parent);
    const UnitType* type = FindUnitType(record.dataType);
    std::unique_ptr<Unit> unit = type ? type->Create(creation) : CreatePlaceholderUnit(creation);
    if (unit && unit->Window()) {
      // Each unit goes above those created before it, so the table's order is the z-order.
      SetWindowPos(unit->Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      record.liveObject = reinterpret_cast<uintptr_t>(unit.get());
      areas[record.unitId] = unit->ChildArea();
      live.units[record.unitId] = std::move(unit);
    }
    auto children = waiting.extract(record.unitId);
    if (children.empty()) return;
    const auto area = areas.find(record.unitId);
    for (size_t child : children.mapped()) create(child, area != areas.end() ? area->second : window);
  };

  for (size_t i = form.units.size() - 1; i >= 1; --i) {
    const UnitRecord& record = form.units[i];
    if (record.IsMenuItem()) continue;
    const uint32_t parent = record.parentUnit;
    const auto parentIndex = indexOf.find(parent);
    if (parent == 0 || parent == windowUnitId || parentIndex == indexOf.end() || parentIndex->second == 0) {
      create(i, window);
    } else if (const auto area = areas.find(parent); area != areas.end()) {
      create(i, area->second);
    } else if (parentIndex->second < i) {
      waiting[parent].push_back(i);  // the container is created later in this pass
    } else {
      create(i, window);  // the container could not be created
    }
  }
  for (auto& [parent, children] : waiting) {
    for (size_t child : children) create(child, window);
  }
}

bool FormsLayerImpl::CreateWindowFromTemplate(FormTemplate& formTemplate, bool reuse, bool modal, void* parentWindow) {
  auto* form = dynamic_cast<LoadedForm*>(&formTemplate);
  if (!form || form->units.empty()) return false;
  const uint32_t formId = form->formId;

  // 1. An open window is only brought to the front; one that is closing finishes first.
  if (LiveForm* open = Live(formId)) {
    const HWND existing = open->window->Window();
    if (!open->window->Closing() && !reuse) {
      if (IsIconic(existing)) {
        ShowWindow(existing, SW_RESTORE);
      } else {
        SetActiveWindow(existing);
        SetForegroundWindow(existing);
      }
      return true;
    }
    DestroyWindow(existing);
    if (Live(formId)) return false;
  }

  // 2. Parent rules.
  HWND owner = 0;
  if (!modal && parentWindow) {
    if (!IsLiveObject(parentWindow)) return false;
    owner = static_cast<Unit*>(parentWindow)->Window();
    if (!IsWindow(owner)) return false;
  }

  // 3. The unit table is put back when the window goes.
  form->KeepUnitTableCopy();

  // 4. The window unit, then the others. What the units report while they are being made
  // (an edit box's first change, say) reaches no handler: the window's events start with 0.
  UnitRecord& windowRecord = form->units.front();
  const UnitType* windowType = FindUnitType(windowRecord.dataType);
  ++eventsHeld;
  std::unique_ptr<Unit> windowUnit = windowType ? windowType->Create(CreationOf(*form, windowRecord, owner)) : nullptr;
  auto* window = dynamic_cast<WindowUnit*>(windowUnit.get());
  if (!window) {
    --eventsHeld;
    form->RestoreUnitTableCopy();
    return false;
  }
  const HWND hwnd = window->Window();
  LiveForm& live = live_[formId];
  live.window = window;
  live.openedSerial = nextSerial_++;
  windowRecord.liveObject = reinterpret_cast<uintptr_t>(window);
  live.units[windowRecord.unitId] = std::move(windowUnit);

  // 5. Units go straight into their containers.
  CreateUnits(*form, live, window->ChildArea());

  // 6. Cursors.
  for (UnitRecord& record : form->units) {
    if (!record.IsMenuItem() && record.liveObject) record.cursorHandle = CursorOf(record.mousePointer);
  }

  // 7. The private messages, then visibility.
  for (size_t i = form->units.size() - 1; i >= 1; --i) {
    if (auto* unit = reinterpret_cast<Unit*>(form->units[i].liveObject)) {
      unit->AllUnitsCreated();
      SendMessageA(unit->Window(), kUnitsCreatedMessage, 0, 0);
    }
  }
  SendMessageA(hwnd, kFormCreatedMessage, 0, 0);
  for (size_t i = 1; i < form->units.size(); ++i) {
    const UnitRecord& record = form->units[i];
    auto* unit = reinterpret_cast<Unit*>(record.liveObject);
    if (!unit) continue;
    ShowWindow(unit->Window(), record.Visible() && !unit->IsComponent() ? SW_SHOWNA : SW_HIDE);
  }
  if (windowRecord.Visible()) window->ShowAtStart();

  // 9. The start events; a handler may close the window, which skips the rest.
  const auto stillOpen = [&] {
    LiveForm* now = Live(formId);
    return now && now->window == window && !window->Closing();
  };
  --eventsHeld;
  window->StartEvents();
  RaiseEvent(formId, 0, Event::Created);
  if (stillOpen()) RaiseEvent(formId, 0, Event::Moved);
  if (stillOpen()) RaiseEvent(formId, 0, Event::Resized);
  if (!stillOpen()) return false;
  if (observer_) observer_->WindowOpened(hwnd, WindowText(hwnd));

  // A modal window returns once it is closed.
  if (modal) {
    MSG msg{};
    while (stillOpen()) {
      const BOOL got = GetMessageA(&msg, 0, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (got > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
  }
  return true;
}

void FormsLayerImpl::Recreate(LoadedForm& form, UnitRecord& record) {
  auto* old = reinterpret_cast<Unit*>(record.liveObject);
  const UnitType* type = FindUnitType(record.dataType);
  LiveForm* live = Live(form.formId);
  if (!old || !type || !live) return;
  const HWND oldWindow = old->Window();
  const HWND parent = GetParent(oldWindow);
  RECT place{};
  GetWindowRect(oldWindow, &place);
  MapWindowPoints(0, parent, reinterpret_cast<POINT*>(&place), 2);
  const bool shown = (GetWindowLongA(oldWindow, GWL_STYLE) & static_cast<LONG>(WS_VISIBLE)) != 0;
  const bool enabled = IsWindowEnabled(oldWindow);
  const HWND focus = GetFocus();
  const bool hadFocus = focus != 0 && (focus == oldWindow || IsChild(oldWindow, focus));

  ++eventsHeld;
  const std::vector<uint8_t> saved = old->SaveTypeData();
  UnitCreation creation = CreationOf(form, record, parent);
  creation.typeData = saved;
  creation.left = place.left;
  creation.top = place.top;
  creation.width = place.right - place.left;
  creation.height = place.bottom - place.top;
  std::unique_ptr<Unit> fresh = type->Create(creation);
  if (!fresh || !fresh->Window()) {
    --eventsHeld;
    return;  // the old window stays
  }
  // Right below the old one, which then leaves its place to it.
  SetWindowPos(fresh->Window(), oldWindow, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  fresh->AllUnitsCreated();
  SendMessageA(fresh->Window(), kUnitsCreatedMessage, 0, 0);
  EnableWindow(fresh->Window(), enabled);
  DestroyWindow(oldWindow);
  Unit* unit = fresh.get();
  record.liveObject = reinterpret_cast<uintptr_t>(unit);
  live->units[record.unitId] = std::move(fresh);
  if (shown && !unit->IsComponent()) ShowWindow(unit->Window(), SW_SHOWNA);
  if (hadFocus) SetFocus(unit->Window());
  --eventsHeld;
}

}  // namespace quorlin::forms
