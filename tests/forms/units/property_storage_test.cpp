// Every own property of every unit type keeps to its own storage: each index is written with a
// value of its kind and read back, and writing the other indices afterwards changes nothing a
// read of it gives. A property stored past its unit's block would overwrite a neighbour (or
// crash the read of one).
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "graphics/draw_panel/unit/draw_panel_unit.h"
#include "graphics/picture_box/unit/pic_box_unit.h"
#include "platform/gdi/gdi_types.h"
#include "runtime/dragdrop/drop_target.h"
#include "runtime/forms/colourpicker/color_picker.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/forms/units/unit_type.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/runtime_kernel.h"
#include "tests/forms/support/forms_fixture.h"

namespace quorlin::testing {
namespace {

using namespace forms;

constexpr uint32_t kForm = 0x52000001;
constexpr uint32_t kUnit = 0x16000061;

// What a read gives, comparable across reads: the integer, or the bytes of a text or byte set.
struct ReadValue {
  uint64_t word = 0;
  std::string bytes;
  bool operator==(const ReadValue&) const = default;
};

bool IsTextLike(uint16_t kind) {
  switch (kind) {
    case PropertyKind::Integer: case 1000: case PropertyKind::EightByte: case 1004: case PropertyKind::Boolean:
    case PropertyKind::Choice: case PropertyKind::Picture: case PropertyKind::ByteData: case 1012: case 1023:
    case 1024: case PropertyKind::MousePointer: case PropertyKind::Font: case PropertyKind::Color:
    case PropertyKind::Integer2: case PropertyKind::Integer3:
      return false;
    default: return true;
  }
}

bool IsByteSet(uint16_t kind) {
  switch (kind) {
    case PropertyKind::Picture: case PropertyKind::ByteData: case 1012: case 1023: case 1024:
    case PropertyKind::MousePointer: case PropertyKind::Font:
      return true;
    default: return false;
  }
}

// Properties that read what the live control shows, which later writes of others change by
// design: an edit box's text and selection (the selected text is replaced), a combo box's text
// (the selected item is shown).
bool FollowsOtherProperties(uint32_t dataType, int32_t index) {
  if (dataType == kTypeEditBox) return index == 8 || index == 18 || index == 19;
  if (dataType == kTypeComboBox) return index == 16;
  return false;
}

void PrintTo(const ReadValue& value, std::ostream* out) { *out << value.word << " \"" << value.bytes << "\""; }

class PropertyStorageTest : public FormsTest {
 protected:
  void StartWith(uint32_t dataType) {
    Start({MakeForm(kForm, WindowData{}, {},
                    {{.id = kUnit, .type = dataType, .name = "u", .width = 120, .height = 60}})});
    ASSERT_TRUE(Load(kForm));
  }

  // A value of the property's kind that differs for every index.
  void WriteDistinct(uint32_t unitId, int32_t index, uint16_t kind) {
    if (IsTextLike(kind)) {
      const std::string text = "p" + std::to_string(index);
      WritePointer(kForm, unitId, index, text.c_str());
    } else if (kind == PropertyKind::Font) {
      LOGFONTA font{};
      font.lfHeight = -10 - index;
      std::memcpy(font.lfFaceName, "Face", 4);
      void* block = NewByteSet(&font, sizeof font);
      WritePointer(kForm, unitId, index, block);
      Kernel().Free(block);
    } else if (IsByteSet(kind)) {
      const uint8_t bytes[] = {static_cast<uint8_t>(index), 1, 2, 3};
      void* block = NewByteSet(bytes, sizeof bytes);
      WritePointer(kForm, unitId, index, block);
      Kernel().Free(block);
    } else {
      Write(kForm, unitId, index, static_cast<uint32_t>(index) % 2, static_cast<uint32_t>(index));
    }
  }

  ReadValue ReadBack(uint32_t unitId, int32_t index, uint16_t kind) {
    if (IsTextLike(kind)) return {0, ReadText(kForm, unitId, index)};
    const uint64_t words = Read(kForm, unitId, index);
    if (IsByteSet(kind)) {
      auto* block = reinterpret_cast<void*>(static_cast<uintptr_t>(words));
      ReadValue value{0, std::string(reinterpret_cast<const char*>(ByteSetData(block)), ByteSetLength(block))};
      Kernel().Free(block);
      return value;
    }
    return {words, {}};
  }

  // Writes each index, remembers what a read gives right after, then checks every index again
  // once all are written.
  void CheckEveryIndex(const UnitType& type, uint32_t unitId) {
    const auto properties = type.Properties();
    std::vector<ReadValue> afterOwnWrite;
    for (size_t k = 0; k < properties.size(); ++k) {
      const auto index = static_cast<int32_t>(8 + k);
      WriteDistinct(unitId, index, properties[k].kind);
      afterOwnWrite.push_back(ReadBack(unitId, index, properties[k].kind));
    }
    for (size_t k = 0; k < properties.size(); ++k) {
      const auto index = static_cast<int32_t>(8 + k);
      if (FollowsOtherProperties(type.DataType(), index)) continue;
      EXPECT_EQ(ReadBack(unitId, index, properties[k].kind), afterOwnWrite[k])
          << type.EnglishName() << " property " << index << " (" << properties[k].englishName << ")";
    }
  }
};

TEST_F(PropertyStorageTest, EveryIndexOfEveryTypeLandsInItsOwnStorage) {
  InstallFormsLayer();  // the built-in types
  drawpanel::RegisterDrawPanelUnitType();
  pictures::RegisterPicBoxUnitType();
  dragdrop::RegisterDropTargetUnitType();
  RegisterColorPickerUnitType();
  const uint32_t types[] = {kTypeButton,   kTypeLabel,       kTypeEditBox,     kTypeCheckBox, kTypeComboBox,
                            kTypeCommonDlg, kTypeColorPicker, kTypePicBox, kTypeDrawPanel, kTypeDropTarget};
  for (const uint32_t dataType : types) {
    const UnitType* type = FindUnitType(dataType);
    ASSERT_NE(type, nullptr) << std::hex << dataType;
    StartWith(dataType);
    CheckEveryIndex(*type, kUnit);
    TearDown();
  }
  // The window unit itself.
  StartWith(kTypeButton);
  CheckEveryIndex(*FindUnitType(kTypeWindow), 0);
}

}  // namespace
}  // namespace quorlin::testing
