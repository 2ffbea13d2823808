// The forms layer as the scenario player's host: open windows, units by name, close requests.
#include <algorithm>

#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"
#include "runtime/forms/layer/forms_layer_impl.h"
#include "runtime/forms/units/unit_support.h"

namespace quorlin::forms {

std::vector<ScenarioWindow> FormsLayerImpl::OpenWindows() {
  std::vector<std::pair<uint64_t, ScenarioWindow>> open;
  const HWND active = GetActiveWindow();
  for (const auto& [formId, live] : live_) {
    if (!live.window || !IsWindow(live.window->Window()) || live.window->Closing()) continue;
    const HWND window = live.window->Window();
    open.push_back({live.openedSerial, {window, WindowText(window), window == active}});
  }
  std::sort(open.begin(), open.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<ScenarioWindow> windows;
  for (auto& [serial, window] : open) windows.push_back(std::move(window));
  return windows;
}

bool FormsLayerImpl::FindUnit(HWND window, std::string_view unitName, HWND& unitWindow) {
  for (const auto& [formId, live] : live_) {
    if (!live.window || live.window->Window() != window) continue;
    const LoadedForm* form = LoadedFormOf(formId);
    for (size_t i = 1; form && i < form->units.size(); ++i) {
      const UnitRecord& record = form->units[i];
      if (record.IsMenuItem() || record.name != unitName) continue;
      const auto* unit = reinterpret_cast<const Unit*>(record.liveObject);
      unitWindow = unit && !unit->IsComponent() ? unit->Window() : 0;
      return true;
    }
    return false;
  }
  return false;
}

void FormsLayerImpl::RequestClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

void FormsLayerImpl::SetWindowObserver(ScenarioWindowObserver* observer) { observer_ = observer; }

}  // namespace quorlin::forms
