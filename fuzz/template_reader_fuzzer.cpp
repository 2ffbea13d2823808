// Window template data: read arbitrary bytes as a template segment; when they read, decode every
// unit's type data, and check that writing the forms back and reading again gives the same
// units (with code base 0 an address is its offset, and "no handler" reads back as 0).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/forms/template/window_template_reader.h"
#include "runtime/forms/template/window_template_writer.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FormTable table;
  if (!ReadTemplateSegment(data, size, 0, table)) return 0;
  std::vector<LoadedForm> forms;
  for (auto& [id, form] : table) {
    auto* loaded = dynamic_cast<LoadedForm*>(form.get());
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
  return 0;
}
