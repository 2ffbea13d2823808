// Window template data: read arbitrary bytes as a template segment; when they read, decode every
// unit's type data, check that writing the forms back and reading again gives the same units
// (with code base 0 an address is its offset, and "no handler" reads back as 0), then start the
// kernel on them, create every window and read every property of every unit it made (for
// templates whose units are at most half a megapixel each, see UnitsSmallEnough).
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "fuzz/kept_working_directory.h"
#include "graphics/draw_panel/unit/draw_panel_unit.h"
#include "graphics/picture_box/unit/pic_box_unit.h"
#include "platform/startup/platform_startup.h"
#include "platform/user/message_queue.h"
#include "runtime/corelib/core_library.h"
#include "runtime/dragdrop/drop_target.h"
#include "runtime/forms/colourpicker/color_picker.h"
#include "runtime/forms/layer/event_handlers.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/forms/template/window_template_reader.h"
#include "runtime/forms/template/window_template_writer.h"
#include "runtime/forms/units/unit_type.h"
#include "runtime/kernel/entry_table.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/runtime_kernel.h"

using namespace quorlin::forms;
using quorlin::FormTable;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void DecodeTypeData(const UnitRecord& unit) {
  switch (unit.dataType) {
    case kTypeWindow: ReadTypeData<WindowData>(unit.typeData); break;
    case kTypeButton: ReadTypeData<ButtonData>(unit.typeData); break;
    case kTypeLabel: ReadTypeData<LabelData>(unit.typeData); break;
    case kTypeEditBox: ReadTypeData<EditBoxData>(unit.typeData); break;
    case kTypeCheckBox: ReadTypeData<CheckBoxData>(unit.typeData); break;
    case kTypeComboBox: ReadTypeData<ComboBoxData>(unit.typeData); break;
    case kTypeColorPicker: ReadTypeData<ColorPickerData>(unit.typeData); break;
    case kTypePicBox: ReadTypeData<PicBoxData>(unit.typeData); break;
    case kTypeDrawPanel: ReadTypeData<DrawPanelData>(unit.typeData); break;
    case kTypeCommonDlg: ReadTypeData<CommonDlgData>(unit.typeData); break;
    case kTypeDropTarget: ReadTypeData<DropTargetData>(unit.typeData); break;
    default: ReadTypeData<ComboBoxData>(unit.typeData); break;
  }
}

void CheckRoundTrip(const FormTable& table) {
  std::vector<LoadedForm> forms;
  for (const auto& [id, form] : table) {
    const auto* loaded = dynamic_cast<const LoadedForm*>(form.get());
    Check(loaded != nullptr && loaded->formId == id && !loaded->units.empty());
    for (const UnitRecord& unit : loaded->units) DecodeTypeData(unit);
    forms.push_back(*loaded);
  }
  auto again = WriteTemplateSegment(forms);
  Check(again.has_value());
  FormTable reread;
  Check(ReadTemplateSegment(again->data(), again->size(), 0, reread));
  Check(reread.size() == table.size());
  for (const LoadedForm& form : forms) {
    const LoadedForm* other = FindFormTemplate(reread, form.formId);
    Check(other != nullptr && other->units == form.units);
  }
}

// Every binding names a null entry of this table or lies past it: no handler ever runs.
EventHandler g_noHandlers[64] = {};
const quorlin::LibraryInfoBlock* g_libraries[1] = {};

bool FreesItsResult(uint16_t kind) {
  switch (kind) {
    case PropertyKind::Integer: case 1000: case PropertyKind::EightByte: case 1004: case PropertyKind::Boolean:
    case PropertyKind::Choice: case PropertyKind::Color: case PropertyKind::Integer2: case PropertyKind::Integer3:
      return false;
    default: return true;  // texts, byte sets, pictures, pointers and fonts come as new blocks
  }
}

void ReadProperty(uint32_t formId, uint32_t unitId, int32_t index, uint16_t kind) {
  const uint64_t value = quorlin::EntryTable().ReadUnitProperty(formId, unitId, index, -1);
  if (FreesItsResult(kind)) quorlin::Kernel().Free(reinterpret_cast<void*>(static_cast<uintptr_t>(value)));
}

// The live units' properties: the eight common ones and each of the type's own.
void ReadEveryProperty(const LoadedForm& form) {
  for (const UnitRecord& unit : form.units) {
    if (unit.IsMenuItem()) continue;
    const uint32_t unitId = &unit == &form.units.front() ? 0 : unit.unitId;
    if (!quorlin::HostService(quorlin::HostCode::FindLiveObject, form.formId, unitId)) continue;
    for (int32_t index = 0; index < 8; ++index) {
      ReadProperty(form.formId, unitId, index, index == 4 ? PropertyKind::Text : index == 7 ? 1011 : 1001);
    }
    const UnitType* type = FindUnitType(unitId == 0 ? kTypeWindow : unit.dataType);
    if (!type) continue;
    const auto properties = type->Properties();
    for (size_t k = 0; k < properties.size(); ++k) {
      ReadProperty(form.formId, unitId, static_cast<int32_t>(8 + k), properties[k].kind);
    }
  }
}

void CreateAndReadEverything(const uint8_t* data, size_t size) {
  static const bool started = [] {
    setenv("QUORLIN_DISPLAY", "headless", 0);
    quorlin::platform::StartPlatform();
    RegisterEventHandlers(g_noHandlers, std::size(g_noHandlers));
    InstallFormsLayer();
    quorlin::drawpanel::RegisterDrawPanelUnitType();
    quorlin::pictures::RegisterPicBoxUnitType();
    quorlin::dragdrop::RegisterDropTargetUnitType();
    RegisterColorPickerUnitType();
    return true;
  }();
  (void)started;
  const std::vector<uint8_t> segment(data, data + size);
  quorlin::ProgramInfoBlock info{};
  info.runMode = 3;
  info.codeBase = reinterpret_cast<uintptr_t>(g_noHandlers);
  info.templateStart = segment.data();
  info.templateLength = static_cast<uint32_t>(segment.size());
  g_libraries[0] = &quorlin::CoreLibraryInfo();
  info.libraryCount = 1;
  info.libraries = g_libraries;
  quorlin::RuntimeKernel& kernel = quorlin::Kernel();
  kernel.ResetForTests();
  {
    const quorlin::fuzz::KeptWorkingDirectory keptDirectory;
    kernel.InitialiseInstance(info, nullptr);
    kernel.LoadTemplates();
  }
  for (auto& [id, form] : kernel.Forms()) {
    auto* loaded = dynamic_cast<LoadedForm*>(form.get());
    // A window whose own record is of another type would raise its creation events from a
    // unit that cannot raise any: the program's end with a runtime error, not a fault.
    if (!loaded || loaded->units.front().dataType != kTypeWindow) continue;
    LoadWindowRequest request{id, nullptr, 0};
    if (quorlin::HostService(quorlin::HostCode::LoadWindow, reinterpret_cast<intptr_t>(&request), 0) != 0) continue;
    ReadEveryProperty(*loaded);
  }
  if (quorlin::FormsLayer* layer = quorlin::RegisteredFormsLayer()) layer->DestroyAllWindows();
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
  }
  kernel.ResetForTests();
}

// A window gets a surface, and a draw panel an image, of its whole declared area, up to 2^28
// pixels: a few bytes declaring a window of 16000 × 16000 legitimately cost a gigabyte and seconds
// (under the sanitizers, mostly first touches of fresh memory). The program's own windows are
// below half a megapixel, so templates with a larger unit are read and written back but not
// created, and the fuzzer spends its time on the data rather than on filling memory.
constexpr int64_t kFuzzMaxUnitPixels = 1 << 19;

bool UnitsSmallEnough(const FormTable& table) {
  for (const auto& [id, form] : table) {
    const auto* loaded = dynamic_cast<const LoadedForm*>(form.get());
    for (const UnitRecord& unit : loaded->units) {
      const int64_t width = static_cast<int32_t>(unit.width), height = static_cast<int32_t>(unit.height);
      if (width > 0 && height > 0 && width * height > kFuzzMaxUnitPixels) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FormTable table;
  if (!ReadTemplateSegment(data, size, 0, table)) return 0;
  CheckRoundTrip(table);
  if (UnitsSmallEnough(table)) CreateAndReadEverything(data, size);
  return 0;
}
