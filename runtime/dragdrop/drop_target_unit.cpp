// DropTarget as a unit type of the forms layer: an invisible component whose own properties
// 0 to 3 (AcceptText, AcceptHtml, AcceptUrl, AcceptFiles) come from its template's type data,
// and which raises its drop events through the layer's event dispatch.
#include <iterator>

#include "platform/base/win_types.h"
#include "runtime/dragdrop/drop_target.h"
#include "runtime/dragdrop/drop_target_object.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/forms/units/component_unit.h"
#include "runtime/forms/units/data_unit_type.h"
#include "runtime/forms/units/event_record.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/command.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::dragdrop {
namespace {

using forms::PropertyInfo;
namespace PropertyKind = forms::PropertyKind;
using forms::WriteOutcome;

constexpr PropertyInfo kProperties[] = {
    {"AcceptText", PropertyKind::Boolean},
    {"AcceptHtml", PropertyKind::Boolean},
    {"AcceptUrl", PropertyKind::Boolean},
    {"AcceptFiles", PropertyKind::Boolean},
};

// The event's text is a runtime text of its own, freed once the handler has returned.
void RaiseDropEvent(uint32_t formId, uint32_t unitId, int32_t event, const std::string& text) {
  char* block = NewText(text);
  const forms::EventArgument argument = forms::ArgumentOf(MakeText(block));
  forms::RaiseTypedEvent(formId, unitId, event, {&argument, 1});
  if (block) LibraryHost::Free(block);
}

AcceptedFormats AcceptedOf(const forms::DropTargetData& data) {
  return {data.acceptText != 0, data.acceptHtml != 0, data.acceptUrl != 0, data.acceptFiles != 0};
}

class DropTargetUnit final : public forms::ComponentUnit {
 public:
  DropTargetUnit(const forms::UnitCreation& creation, forms::DropTargetData data)
      : ComponentUnit(creation), version_(data.version) {
    const uint32_t formId = creation.formId;
    const uint32_t unitId = creation.unitId;
    target_ = new DropTargetObject(AcceptedOf(data), DropTargetObject::Mode::Run,
                                   [formId, unitId](int32_t event, const std::string& text) {
                                     RaiseDropEvent(formId, unitId, event, text);
                                   });
  }
  ~DropTargetUnit() override {
    target_->Close();
    target_->Release();
  }

  bool Make(const forms::UnitCreation& creation) { return MakeWindow(creation); }

  DropTargetObject& Target() { return *target_; }

  bool GetProperty(int k, TypedValue& out) override {
    bool* flag = Flag(k);
    if (!flag) return false;
    out = MakeBoolean(*flag);
    return true;
  }

  WriteOutcome SetProperty(int k, const TypedValue& value) override {
    bool* flag = Flag(k);
    if (!flag) return WriteOutcome::Ignored;
    *flag = value.low != 0;
    return WriteOutcome::Done;
  }

  std::vector<uint8_t> SaveTypeData() const override {
    const AcceptedFormats& accepted = target_->Accepted();
    forms::DropTargetData data;
    data.version = version_;
    data.acceptText = accepted.text;
    data.acceptHtml = accepted.html;
    data.acceptUrl = accepted.url;
    data.acceptFiles = accepted.files;
    return forms::WriteTypeData(data);
  }

 private:
  bool* Flag(int k) {
    AcceptedFormats& accepted = target_->Accepted();
    switch (k) {
      case 0: return &accepted.text;
      case 1: return &accepted.html;
      case 2: return &accepted.url;
      case 3: return &accepted.files;
      default: return nullptr;
    }
  }

  uint32_t version_;
  DropTargetObject* target_;
};

const forms::UnitType& DropTargetUnitType() {
  static const forms::DataUnitType<DropTargetUnit, forms::DropTargetData> type(forms::kTypeDropTarget, "拖放对象",
                                                                               "DropTarget", kProperties);
  return type;
}

}  // namespace

void RegisterDropTargetUnitType() { forms::RegisterUnitType(DropTargetUnitType()); }

void RegisterDropWindowCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  const TypedValue& reference = ArgumentAt(argCount, args, 0);
  const TypedValue& handle = ArgumentAt(argCount, args, 1);
  auto* unit = reinterpret_cast<forms::Unit*>(
      LibraryHost::Call(HostCode::FindLiveObjectOrFail, reference.low, reference.high));
  auto* dropTarget = dynamic_cast<DropTargetUnit*>(unit);
  *result = MakeBoolean(dropTarget && dropTarget->Target().RegisterWindow(static_cast<HWND>(handle.low)));
}

}  // namespace quorlin::dragdrop
