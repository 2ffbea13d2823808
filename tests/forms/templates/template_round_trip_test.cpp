// Writing a segment or a type data block and reading it back gives what was written.
#include <gtest/gtest.h>

#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/forms/template/window_template_reader.h"
#include "runtime/forms/template/window_template_writer.h"
#include "tests/forms/templates/template_test_forms.h"

namespace quorlin::forms {
namespace {

using testing::kCodeBase;
using testing::SmallForm;

uintptr_t Address(uintptr_t offset) { return offset == kNoHandlerOffset ? 0 : kCodeBase + offset; }

TEST(TemplateRoundTrip, SegmentReadsBackWithHandlerAddresses) {
  std::vector<LoadedForm> written = {SmallForm(), SmallForm()};
  written[1].formId = 0x52000020;
  written[1].units.resize(1);
  written[1].units[0].children.clear();
  auto bytes = WriteTemplateSegment(written);
  ASSERT_TRUE(bytes);

  FormTable table;
  std::string error;
  ASSERT_TRUE(ReadTemplateSegment(bytes->data(), bytes->size(), kCodeBase, table, &error)) << error;
  ASSERT_EQ(table.size(), 2u);
  for (const LoadedForm& expected : written) {
    LoadedForm want = expected;
    for (UnitRecord& unit : want.units) {
      for (EventBinding& binding : unit.events) binding.handler = Address(binding.handler);
      if (unit.IsMenuItem()) unit.menuHandler = Address(unit.menuHandler);
    }
    LoadedForm* read = FindFormTemplate(table, expected.formId);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->directoryWord, want.directoryWord);
    EXPECT_EQ(read->reservedWord, want.reservedWord);
    EXPECT_EQ(read->codeModuleId, want.codeModuleId);
    EXPECT_EQ(read->firstText, want.firstText);
    EXPECT_EQ(read->units, want.units);
  }
}

TEST(TemplateRoundTrip, LiveObjectAndCursorWordsOfTheDataAreNeverTaken) {
  LoadedForm form = SmallForm();
  for (UnitRecord& unit : form.units) {
    if (unit.IsMenuItem()) continue;
    unit.liveObject = 0x12345678;
    unit.cursorHandle = 0x9ABC;
  }
  auto bytes = WriteTemplateSegment(std::vector<LoadedForm>{form});
  ASSERT_TRUE(bytes);
  FormTable table;
  ASSERT_TRUE(ReadTemplateSegment(bytes->data(), bytes->size(), kCodeBase, table));
  for (const UnitRecord& unit : FindFormTemplate(table, form.formId)->units) {
    EXPECT_EQ(unit.liveObject, 0u) << std::hex << unit.unitId;
    EXPECT_EQ(unit.cursorHandle, 0u) << std::hex << unit.unitId;
  }
}

TEST(TemplateRoundTrip, NoHandlerOffsetGivesNoHandler) {
  auto bytes = WriteTemplateSegment(std::vector<LoadedForm>{SmallForm()});
  FormTable table;
  ASSERT_TRUE(ReadTemplateSegment(bytes->data(), bytes->size(), kCodeBase, table));
  LoadedForm& form = *FindFormTemplate(table, 0x52000010);
  const UnitRecord& window = *FindUnitRecord(form, 0);
  EXPECT_EQ(window.HandlerFor(0), kCodeBase + 4);
  EXPECT_EQ(window.HandlerFor(2), 0u);   // 0xFFFFFFFF
  EXPECT_EQ(window.HandlerFor(-7), kCodeBase);  // offset 0 is a handler at the code base
  EXPECT_EQ(window.HandlerFor(5), 0u);   // unbound
  EXPECT_EQ(FindUnitRecord(form, 0x26000014)->HandlerFor(99), kCodeBase + 20);
  EXPECT_EQ(FindUnitRecord(form, 0x16009999), nullptr);
  EXPECT_EQ(FindFormTemplate(table, 0x52000011), nullptr);
}

TEST(TemplateRoundTrip, WriterRefusesWhatTheFormatCannotHold) {
  LoadedForm nul = SmallForm();
  nul.units[1].name = std::string("a\0b", 3);
  LoadedForm wide = SmallForm();
  wide.units[1].events[0].handler = uintptr_t(1) << 32;
  for (const LoadedForm& form : {nul, wide}) {
    std::string error;
    EXPECT_FALSE(WriteTemplateSegment(std::vector<LoadedForm>{form}, &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(TemplateRoundTrip, UnitTableCopyIsRestored) {
  LoadedForm form = SmallForm();
  form.KeepUnitTableCopy();
  form.units[1].width = 999;
  form.units[1].liveObject = 0x1234;
  form.units[1].tag = "changed";
  form.RestoreUnitTableCopy();
  EXPECT_EQ(form.units, SmallForm().units);
  EXPECT_FALSE(form.HasUnitTableCopy());
}

template <class Data>
class TypeDataRoundTrip : public ::testing::Test {};

// A value of each type with its fields away from the defaults.
WindowData Sample(WindowData) { return {.borderKind = 2, .startPosition = 3, .icon = {1, 2}, .title = "t", .moreData = {5}}; }
ButtonData Sample(ButtonData) { return {.kind = 1, .verticalAlign = 2, .font = ByteBlock(60, 7), .caption = "ok"}; }
LabelData Sample(LabelData) { return {.words = {1, 2, 3}, .caption = "c", .text3 = "z"}; }
EditBoxData Sample(EditBoxData) { return {.words = {9}, .half = 0x2A, .moreWords = {0, 6}, .content = "x"}; }
CheckBoxData Sample(CheckBoxData) { return {.checked = 1, .picture = {3}, .caption = "c"}; }
ComboBoxData Sample(ComboBoxData) { return {.kind = 2, .selectedIndex = 1, .items = {"a", "", "ccc"}, .lastWord = 8}; }
ColorPickerData Sample(ColorPickerData) { return {.color = 0xFFFFFF, .allowTransparent = 1}; }
PicBoxData Sample(PicBoxData) { return {.backColor = 0xFF, .displayMode = 1, .picture = {1}, .text2 = "b"}; }
DrawPanelData Sample(DrawPanelData) { return {.autoRedraw = 1, .textColor = 0xFFFFFF, .backPicture = {4, 4}}; }
CommonDlgData Sample(CommonDlgData) { return {.kind = 2, .words = {1}, .texts = {"a", "", "", "", "", "", "g"}}; }
DropTargetData Sample(DropTargetData) { return {.acceptText = 0, .acceptUrl = 0}; }

using TypeDataTypes = ::testing::Types<WindowData, ButtonData, LabelData, EditBoxData, CheckBoxData, ComboBoxData,
                                       ColorPickerData, PicBoxData, DrawPanelData, CommonDlgData, DropTargetData>;
TYPED_TEST_SUITE(TypeDataRoundTrip, TypeDataTypes);

TYPED_TEST(TypeDataRoundTrip, ReadsBackAndRejectsMalformedBlocks) {
  TypeParam sample = Sample(TypeParam{});
  ByteBlock block = WriteTypeData(sample);
  auto read = ReadTypeData<TypeParam>(block);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, sample);

  EXPECT_EQ(ReadTypeData<TypeParam>({}), TypeParam{}) << "an empty block means all defaults";

  ByteBlock newer = block;
  newer[0] = uint8_t(TypeParam::kVersion + 1);
  EXPECT_FALSE(ReadTypeData<TypeParam>(newer));

  ByteBlock longer = block;
  longer.push_back(0);
  EXPECT_FALSE(ReadTypeData<TypeParam>(longer));

  // A block of the current version cut anywhere after its version word is incomplete.
  for (size_t length = 1; length < block.size(); ++length) {
    std::span<const uint8_t> cut(block.data(), length);
    EXPECT_FALSE(ReadTypeData<TypeParam>(cut)) << "cut at " << length;
  }
}

TEST(TypeData, OlderVersionMayEndAtAFieldBoundary) {
  ByteBlock block = WriteTypeData(ButtonData{.version = 0, .kind = 1, .caption = "x"});
  auto full = ReadTypeData<ButtonData>(block);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->caption, "x");

  ByteBlock kindOnly(block.begin(), block.begin() + 8);
  auto partial = ReadTypeData<ButtonData>(kindOnly);
  ASSERT_TRUE(partial);
  EXPECT_EQ(partial->kind, 1u);
  EXPECT_EQ(partial->horizontalAlign, 1u) << "missing fields keep their defaults";

  ByteBlock midField(block.begin(), block.begin() + 10);
  EXPECT_FALSE(ReadTypeData<ButtonData>(midField));
}

TEST(TypeData, ComboListCounts) {
  ComboBoxData many;
  many.items.assign(0x10000, "i");
  ByteBlock block = WriteTypeData(many);
  auto read = ReadTypeData<ComboBoxData>(block);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->items.size(), 0x10000u) << "a count of 0xFFFF or more goes in the 32-bit form";

  // A list count far beyond the block is refused before anything is allocated for it.
  ByteBlock small = WriteTypeData(ComboBoxData{});
  size_t countAt = 4 + 9 * 4 + 4 + 4 + 4;  // version, nine words, two empty blocks, empty text
  ASSERT_EQ(small[countAt], 0);
  small[countAt] = 0xFF;
  small[countAt + 1] = 0xFF;
  small.insert(small.begin() + countAt + 2, {0xFF, 0xFF, 0xFF, 0x7F});
  EXPECT_FALSE(ReadTypeData<ComboBoxData>(small));
}

TEST(TypeData, LogFontLayout) {
  ByteBlock font = MakeLogFont({.height = -21, .weight = 700, .face = "abc"});
  ASSERT_EQ(font.size(), 60u);
  EXPECT_EQ(font[0], 0xEB);  // -21
  EXPECT_EQ(font[16], 0xBC);  // 700 = 0x2BC
  EXPECT_EQ(font[23], 134);   // character set
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&font[28])), "abc");
}

}  // namespace
}  // namespace quorlin::forms
