// Malformed template data fails cleanly: no crash, no read past the data, the table untouched.
#include <gtest/gtest.h>

#include "runtime/forms/template/window_template_reader.h"
#include "runtime/forms/template/window_template_writer.h"
#include "tests/forms/templates/template_test_forms.h"

namespace quorlin::forms {
namespace {

using testing::kCodeBase;
using testing::SmallForm;

std::vector<uint8_t> Segment(const LoadedForm& form) {
  auto bytes = WriteTemplateSegment(std::vector<LoadedForm>{form});
  EXPECT_TRUE(bytes);
  return bytes.value_or(std::vector<uint8_t>{});
}

uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24;
}

void PutWord(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

// Reads into a table that already holds one form, which a failed read must leave alone.
bool ReadFails(const std::vector<uint8_t>& bytes, std::string* error = nullptr) {
  FormTable table;
  table[1] = std::make_unique<LoadedForm>();
  bool ok = ReadTemplateSegment(bytes.data(), bytes.size(), kCodeBase, table, error);
  EXPECT_TRUE(ok || (table.size() == 1 && table.count(1))) << "a failed read changed the table";
  return !ok;
}

// Field positions in the segment of SmallForm().
constexpr size_t kFormIdAt = 4;
constexpr size_t kCodeModuleAt = 16;
constexpr size_t kFirstTextAt = 20;
constexpr size_t kUnitCountAt = 33;
constexpr size_t kTableLengthAt = 37;
constexpr size_t kUnitIdsAt = 41;
constexpr size_t kOffsetsAt = 53;
constexpr size_t kWindowRecordAt = 65;
constexpr size_t kWindowChildCountAt = kWindowRecordAt + 4 + 60;
constexpr size_t kWindowEventCountAt = kWindowChildCountAt + 4 + 4 + 8 + 4 + 12;

TEST(TemplateMalformed, FieldPositionsOfTheSmallForm) {
  std::vector<uint8_t> bytes = Segment(SmallForm());
  EXPECT_EQ(WordAt(bytes, kFormIdAt), 0x52000010u);
  EXPECT_EQ(WordAt(bytes, kUnitCountAt), 3u);
  EXPECT_EQ(WordAt(bytes, kUnitIdsAt), 0x06000012u);
  EXPECT_EQ(WordAt(bytes, kWindowChildCountAt), 1u);
  EXPECT_EQ(WordAt(bytes, kWindowEventCountAt), 3u);
}

TEST(TemplateMalformed, TruncatedAtEveryByte) {
  std::vector<uint8_t> bytes = Segment(SmallForm());
  for (size_t length = 0; length < bytes.size(); ++length) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + length);
    EXPECT_TRUE(ReadFails(cut)) << "truncated at " << length;
  }
  EXPECT_FALSE(ReadFails(bytes));
}

TEST(TemplateMalformed, OneWordChanged) {
  struct Row {
    const char* note;
    size_t at;
    uint32_t value;
  };
  const Row rows[] = {
      {"directory length past the end", 0, 0xFFFFFFF0},
      {"directory length not a multiple of 8", 0, 12},
      {"form id of another kind", kFormIdAt, 0x56000010},
      {"form id without running number", kFormIdAt, 0x52000000},
      {"code module id of another kind", kCodeModuleAt, 0x18000011},
      {"stored text past the end", kFirstTextAt, 0xFFFFFFFF},
      {"no units", kUnitCountAt, 0},
      {"unit count whose arrays overflow 32 bits", kUnitCountAt, 0x20000000},
      {"unit count past the table", kUnitCountAt, 1000},
      {"unit table past the end", kTableLengthAt, 0xFFFFFF00},
      {"entry 0 a control id", kUnitIdsAt, 0x16000012},
      {"unit id of another kind", kUnitIdsAt + 4, 0x12000013},
      {"unit id listed twice", kUnitIdsAt + 8, 0x16000013},
      {"record offset outside the table", kOffsetsAt, 0xFFFFFFF0},
      {"record length past the table", kWindowRecordAt, 0x00FFFFFF},
      {"record length shorter than its fields", kWindowRecordAt, 40},
      {"child count past the record", kWindowChildCountAt, 0x40000001},
      {"event count past the record", kWindowEventCountAt, 0x20000000},
  };
  for (const Row& row : rows) {
    std::vector<uint8_t> bytes = Segment(SmallForm());
    PutWord(bytes, row.at, row.value);
    std::string error;
    EXPECT_TRUE(ReadFails(bytes, &error)) << row.note;
    EXPECT_FALSE(error.empty()) << row.note;
  }
}

TEST(TemplateMalformed, InconsistentUnits) {
  struct Row {
    const char* note;
    void (*change)(LoadedForm&);
  };
  const Row rows[] = {
      {"parent not in the form", [](LoadedForm& f) { f.units[1].parentUnit = 0x16000099; }},
      {"own parent", [](LoadedForm& f) { f.units[1].parentUnit = f.units[1].unitId; }},
      {"child not in the form", [](LoadedForm& f) { f.units[0].children = {0x16000099}; }},
      {"parent loop",
       [](LoadedForm& f) {
         UnitRecord other = f.units[1];
         other.unitId = 0x16000015;
         other.parentUnit = 0x16000013;
         f.units[1].parentUnit = 0x16000015;
         f.units.push_back(other);
       }},
      {"event source loop",
       [](LoadedForm& f) {
         UnitRecord other = f.units[1];
         other.unitId = 0x16000015;
         other.eventSourceLink = 0x16000013;
         f.units[1].eventSourceLink = 0x16000015;
         f.units.push_back(other);
       }},
  };
  for (const Row& row : rows) {
    LoadedForm form = SmallForm();
    row.change(form);
    EXPECT_TRUE(ReadFails(Segment(form))) << row.note;
  }

  // A link to a unit of another type is no loop: it is simply not followed.
  LoadedForm form = SmallForm();
  form.units[1].eventSourceLink = form.units[0].unitId;
  EXPECT_FALSE(ReadFails(Segment(form)));
}

TEST(TemplateMalformed, BytesAfterTheLastFormOrUnterminatedTexts) {
  std::vector<uint8_t> longer = Segment(SmallForm());
  longer.push_back(0);
  EXPECT_TRUE(ReadFails(longer));

  // The window unit's remark loses its NUL: its text would run into the following fields,
  // and the record no longer ends where its length says.
  std::vector<uint8_t> bytes = Segment(SmallForm());
  size_t remarkEnd = kWindowRecordAt + 4 + 24 + 1 + 6;
  ASSERT_EQ(bytes[remarkEnd], 0);
  bytes[remarkEnd] = 'x';
  EXPECT_TRUE(ReadFails(bytes));

  FormTable table;
  EXPECT_FALSE(ReadTemplateSegment(nullptr, 0, kCodeBase, table));
  const uint8_t emptyDirectory[4] = {};
  EXPECT_TRUE(ReadTemplateSegment(emptyDirectory, 4, kCodeBase, table));
  EXPECT_TRUE(table.empty());
}

}  // namespace
}  // namespace quorlin::forms
