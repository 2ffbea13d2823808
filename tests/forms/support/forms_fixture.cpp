#include "tests/forms/support/forms_fixture.h"

#include "platform/user/window_core.h"
#include "runtime/corelib/core_library.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/forms/template/window_template_writer.h"
#include "runtime/forms/units/unit_type.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/entry_table.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin::testing {
namespace {

forms::EventHandler g_handlers[kTestHandlerCount] = {};
const LibraryInfoBlock* g_libraries[1] = {};

}  // namespace

forms::EventHandler* TestHandlers() { return g_handlers; }

std::vector<std::string>& EventLog() {
  static std::vector<std::string> log;
  return log;
}

forms::LoadedForm MakeForm(uint32_t formId, const forms::WindowData& window, std::vector<TestEvent> windowEvents,
                           const std::vector<TestUnit>& units, uint32_t frameWidth, uint32_t frameHeight) {
  using namespace forms;
  const auto record = [](const TestUnit& unit) {
    UnitRecord r;
    r.unitId = unit.id;
    r.dataType = unit.type;
    r.eventSourceLink = unit.link;
    r.name = unit.name;
    r.left = unit.left;
    r.top = unit.top;
    r.width = unit.width;
    r.height = unit.height;
    r.parentUnit = unit.parent;
    r.mousePointer = ByteBlock(4, 0);
    r.stateFlags = unit.flags;
    for (const TestEvent& event : unit.events) r.events.push_back({event.index, event.handler});
    r.typeData = unit.data;
    return r;
  };
  LoadedForm form;
  form.formId = formId;
  form.codeModuleId = 0x19000001;
  TestUnit windowUnit{.id = 0x06000000 | (formId & 0xFFFF), .type = kTypeWindow, .left = 10, .top = 10,
                      .width = frameWidth, .height = frameHeight, .data = WriteTypeData(window),
                      .events = std::move(windowEvents)};
  form.units.push_back(record(windowUnit));
  for (const TestUnit& unit : units) form.units.push_back(record(unit));
  for (UnitRecord& container : form.units) {
    for (const UnitRecord& unit : form.units) {
      if (unit.parentUnit != 0 && unit.parentUnit == container.unitId) container.children.push_back(unit.unitId);
    }
  }
  return form;
}

void FormsTest::Start(const std::vector<forms::LoadedForm>& forms) {
  EventLog().clear();
  for (auto& handler : g_handlers) handler = nullptr;
  forms::InstallFormsLayer();
  forms::RegisterEventHandlers(g_handlers, kTestHandlerCount);
  std::string error;
  auto segment = forms::WriteTemplateSegment(forms, &error);
  ASSERT_TRUE(segment) << error;
  segment_ = std::move(*segment);
  g_libraries[0] = &CoreLibraryInfo();
  info_ = {};
  info_.runMode = 3;
  info_.codeBase = reinterpret_cast<uintptr_t>(g_handlers);
  info_.templateStart = segment_.data();
  info_.templateLength = static_cast<uint32_t>(segment_.size());
  info_.libraryCount = 1;
  info_.libraries = g_libraries;
  Kernel().ResetForTests();
  Kernel().InitialiseInstance(info_, nullptr);
  Kernel().LoadTemplates();
}

void FormsTest::TearDown() {
  if (FormsLayer* layer = RegisteredFormsLayer()) layer->DestroyAllWindows();
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
  }
  Kernel().ResetForTests();
}

bool FormsTest::Load(uint32_t formId) {
  forms::LoadWindowRequest request{formId, nullptr, 0};
  return HostService(HostCode::LoadWindow, reinterpret_cast<intptr_t>(&request), 0) == 0;
}

HWND FormsTest::WindowOf(uint32_t formId) {
  return static_cast<HWND>(HostService(HostCode::WindowHandleOfForm, formId, 0));
}

HWND FormsTest::UnitWindow(uint32_t formId, uint32_t unitId) {
  auto* unit = reinterpret_cast<forms::Unit*>(HostService(HostCode::FindLiveObject, formId, unitId));
  return unit ? unit->Window() : 0;
}

uint64_t FormsTest::Read(uint32_t formId, uint32_t unitId, int32_t property, int32_t member) {
  return EntryTable().ReadUnitProperty(formId, unitId, property, member);
}

void FormsTest::Write(uint32_t formId, uint32_t unitId, int32_t property, uint32_t low, uint32_t high,
                      int32_t member) {
  EntryTable().WriteUnitProperty(formId, unitId, property, member, low, high);
}

void FormsTest::WritePointer(uint32_t formId, uint32_t unitId, int32_t property, const void* p, int32_t member) {
  const auto words = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p));
  Write(formId, unitId, property, static_cast<uint32_t>(words), static_cast<uint32_t>(words >> 32), member);
}

std::string ReadText(uint64_t words) {
  auto* text = reinterpret_cast<char*>(static_cast<uintptr_t>(words));
  std::string bytes(TextView(text));
  Kernel().Free(text);
  return bytes;
}

std::string FormsTest::ReadText(uint32_t formId, uint32_t unitId, int32_t property, int32_t member) {
  return quorlin::testing::ReadText(Read(formId, unitId, property, member));
}

}  // namespace quorlin::testing
