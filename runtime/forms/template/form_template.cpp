#include "runtime/forms/template/form_template.h"

#include "runtime/forms/template/template_ids.h"

namespace quorlin::forms {

bool UnitRecord::IsMenuItem() const { return IsMenuItemId(unitId); }

bool UnitRecord::Visible() const { return (stateFlags & kStateVisible) != 0; }

uintptr_t UnitRecord::HandlerFor(int32_t eventIndex) const {
  if (IsMenuItem()) return menuHandler;
  for (const EventBinding& binding : events) {
    if (binding.eventIndex == eventIndex) return binding.handler;
  }
  return 0;
}

void LoadedForm::KeepUnitTableCopy() {
  savedUnits_ = units;
  hasSavedUnits_ = true;
}

void LoadedForm::RestoreUnitTableCopy() {
  if (!hasSavedUnits_) return;
  units = std::move(savedUnits_);
  savedUnits_.clear();
  hasSavedUnits_ = false;
}

LoadedForm* FindFormTemplate(FormTable& forms, uint32_t formId) {
  auto it = forms.find(formId);
  if (it == forms.end()) return nullptr;
  return dynamic_cast<LoadedForm*>(it->second.get());
}

const UnitRecord* FindUnitRecord(const LoadedForm& form, uint32_t unitId) {
  if (form.units.empty()) return nullptr;
  if (unitId == 0) return &form.units.front();
  for (const UnitRecord& unit : form.units) {
    if (unit.unitId == unitId) return &unit;
  }
  return nullptr;
}

UnitRecord* FindUnitRecord(LoadedForm& form, uint32_t unitId) {
  return const_cast<UnitRecord*>(FindUnitRecord(static_cast<const LoadedForm&>(form), unitId));
}

}  // namespace quorlin::forms
