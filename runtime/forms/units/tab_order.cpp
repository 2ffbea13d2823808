// The forms' keyboard focus order (FocusUnitByTabOrder, MoveFocusByTab in window_unit.h).
#include <algorithm>
#include <vector>

#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/template/form_template.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/units/window_unit.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::forms {
namespace {

struct TabStop {
  uint32_t tabOrder;
  size_t tableIndex;
  HWND window;
};

FormTable* Forms() { return reinterpret_cast<FormTable*>(LibraryHost::Call(HostCode::FormTable)); }

HWND LiveWindowOf(const UnitRecord& record) {
  return record.liveObject == 0 ? 0 : reinterpret_cast<Unit*>(record.liveObject)->Window();
}

std::vector<TabStop> TabStops(const LoadedForm& form) {
  std::vector<TabStop> stops;
  for (size_t i = 1; i < form.units.size(); ++i) {
    const UnitRecord& record = form.units[i];
    if (record.IsMenuItem() || !(record.stateFlags & kStateFocusable)) continue;
    const HWND window = LiveWindowOf(record);
    if (!window || !IsWindowVisible(window) || !IsWindowEnabled(window)) continue;
    stops.push_back({record.tabOrder, i, window});
  }
  std::stable_sort(stops.begin(), stops.end(),
                   [](const TabStop& a, const TabStop& b) { return a.tabOrder < b.tabOrder; });
  return stops;
}

// The live form whose window is `window` or holds it.
const LoadedForm* FormHolding(HWND window) {
  FormTable* forms = Forms();
  if (!forms || !window) return nullptr;
  for (const auto& [id, form] : *forms) {
    const auto* loaded = dynamic_cast<const LoadedForm*>(form.get());
    if (!loaded || loaded->units.empty()) continue;
    const HWND formWindow = LiveWindowOf(loaded->units.front());
    if (formWindow && (formWindow == window || IsChild(formWindow, window))) return loaded;
  }
  return nullptr;
}

}  // namespace

bool FocusUnitByTabOrder(uint32_t formId) {
  FormTable* forms = Forms();
  const LoadedForm* form = forms ? FindFormTemplate(*forms, formId) : nullptr;
  if (!form) return false;
  const std::vector<TabStop> stops = TabStops(*form);
  if (stops.empty()) return false;
  SetFocus(stops.front().window);
  return true;
}

bool MoveFocusByTab(HWND focus, bool backwards) {
  const LoadedForm* form = FormHolding(focus);
  if (!form) return false;
  const std::vector<TabStop> stops = TabStops(*form);
  if (stops.empty()) return false;
  // The nearest tab stop at or above the focus window.
  auto current = stops.end();
  for (HWND at = focus; at && current == stops.end(); at = GetParent(at)) {
    current = std::find_if(stops.begin(), stops.end(), [at](const TabStop& stop) { return stop.window == at; });
  }
  const size_t count = stops.size();
  size_t next;
  if (current == stops.end()) {
    next = backwards ? count - 1 : 0;
  } else {
    const auto at = static_cast<size_t>(current - stops.begin());
    next = backwards ? (at + count - 1) % count : (at + 1) % count;
  }
  SetFocus(stops[next].window);
  return true;
}

}  // namespace quorlin::forms
