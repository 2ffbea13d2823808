// The runtime errors of property access, events and unit methods: one box, exit code -1. Each
// row runs in a child process.
#include <functional>

#include "platform/user/window_core.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/forms/units/event_record.h"
#include "runtime/forms/units/unit_type.h"
#include "runtime/kernel/entry_table.h"
#include "tests/forms/support/forms_fixture.h"
#include "tests/support/child_process.h"

namespace quorlin::testing {
namespace {

using namespace forms;

constexpr uint32_t kForm = 0x52000001;
constexpr uint32_t kEdit = 0x16000031;
constexpr uint32_t kObject = 0x16000032;  // a unit of a type that cannot raise events
constexpr uint32_t kNoEventsType = DataType(1, 48);
constexpr uint32_t kPlaceholder = 0x16000033;  // a unit whose library is not there
constexpr uint32_t kVariant = 0x16000034;      // a unit of the variant type, which nothing registers

class NoEventsType final : public UnitType {
 public:
  uint32_t DataType() const override { return kNoEventsType; }
  const char* Name() const override { return "object"; }
  const char* EnglishName() const override { return "ComObject"; }
  uint32_t Flags() const override { return 0; }
  std::span<const PropertyInfo> Properties() const override { return {}; }
  std::unique_ptr<Unit> Create(const UnitCreation&) const override { return nullptr; }
};

struct ErrorRow {
  const char* name;
  std::function<void(FormsTest&)> action;
  const char* message;  // UTF-8, as the box line shows it
};

// Set up by hand inside each child.
class RuntimeErrorsTest : public FormsTest {
 public:
  void SetUp() override {
    static const NoEventsType noEvents;
    RegisterUnitType(noEvents);
    Start({MakeForm(kForm, WindowData{}, {},
                    {{.id = kEdit, .type = kTypeEditBox, .name = "e", .data = WriteTypeData(EditBoxData{})},
                     {.id = kObject, .type = kNoEventsType, .name = "o"},
                     {.id = kPlaceholder, .type = DataType(9, 1), .name = "p"},
                     {.id = kVariant, .type = DataType(1, 49), .name = "v"}})});
  }
  void TestBody() override {}
};

std::string BoxLine(const char* message) {
  return std::string("msgbox ") + reinterpret_cast<const char*>(u8"错误 | 运行时出错!\\r\\n\\r\\n错误信息：") + message +
         "\\r\\n\n";
}

TEST(FormsRuntimeErrors, EachFailureShowsItsMessageAndEndsTheProgram) {
  const ErrorRow rows[] = {
      {"property of a form that is not loaded", [](FormsTest&) { EntryTable().ReadUnitProperty(0x52000077, 0, 0, -1); },
       reinterpret_cast<const char*>(u8"未载入欲访问窗口组件所在的窗口")},
      {"write to a form that is not loaded",
       [](FormsTest&) { EntryTable().WriteUnitProperty(0x52000077, 0, 0, -1, 1, 0); },
       reinterpret_cast<const char*>(u8"未载入欲访问窗口组件所在的窗口")},
      {"own property of a unit without window", [](FormsTest&) { EntryTable().ReadUnitProperty(kForm, kEdit, 8, -1); },
       reinterpret_cast<const char*>(u8"指定窗口尚未载入")},
      {"own property write without window",
       [](FormsTest&) { EntryTable().WriteUnitProperty(kForm, kEdit, 8, -1, 0, 0); },
       reinterpret_cast<const char*>(u8"指定窗口尚未载入")},
      {"event of a form that is not loaded", [](FormsTest&) { RaiseEvent(0x52000077, 0, 0); },
       reinterpret_cast<const char*>(u8"未找到引发事件的窗口")},
      {"event of a unit the form lacks", [](FormsTest&) { RaiseEvent(kForm, 0x16000099, 0); },
       reinterpret_cast<const char*>(u8"未找到引发事件的窗口组件")},
      {"event of a type that cannot raise events", [](FormsTest&) { RaiseEvent(kForm, kObject, 0); },
       reinterpret_cast<const char*>(u8"引发事件的窗口组件无效")},
      {"event of a placeholder unit", [](FormsTest&) { RaiseEvent(kForm, kPlaceholder, 0); },
       reinterpret_cast<const char*>(u8"引发事件的窗口组件无效")},
      {"event of a type nothing registered", [](FormsTest&) { RaiseEvent(kForm, kVariant, 0); },
       reinterpret_cast<const char*>(u8"引发事件的窗口组件无效")},
      {"unit method on a unit without window",
       [](FormsTest&) {
         TypedValue result{};
         TypedValue unit{kForm, kEdit, kTypeEditBox};
         GetWindowHandleCommand(&result, 1, &unit);
       },
       reinterpret_cast<const char*>(u8"指定窗口或窗口组件不存在或尚未载入")},
  };
  for (const ErrorRow& row : rows) {
    const ChildResult result = RunInChild([&] {
      RuntimeErrorsTest fixture;
      fixture.SetUp();
      row.action(fixture);
      fprintf(stderr, "no error\n");
    });
    ASSERT_TRUE(result.exited) << row.name;
    EXPECT_EQ(result.exitStatus, 255) << row.name;
    EXPECT_EQ(result.standardError, BoxLine(row.message)) << row.name;
  }
}

}  // namespace
}  // namespace quorlin::testing
