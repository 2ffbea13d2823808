// A kernel started on templates built by the test, with the real forms layer and a handler
// table the test fills: handler offset n is entry n of TestHandlers().
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/win_types.h"
#include "runtime/forms/layer/event_handlers.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/forms/template/form_template.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/kernel/program_info.h"

namespace quorlin::testing {

inline constexpr size_t kTestHandlerCount = 16;
// The handler table the test templates' offsets index.
forms::EventHandler* TestHandlers();

struct TestEvent {
  int32_t index;
  uint32_t handler;  // an index into TestHandlers(), or kNoHandlerOffset
};

struct TestUnit {
  uint32_t id = 0;
  uint32_t type = 0;
  std::string name;  // GBK
  uint32_t parent = 0;
  int32_t left = 0, top = 0;
  uint32_t width = 10, height = 10;
  uint32_t flags = forms::kStateVisible;
  forms::ByteBlock data;
  std::vector<TestEvent> events;
  uint32_t link = 0;
};

// A form: its window unit (type data from `window`) and the units, with each container's child
// list filled from the units' parents.
forms::LoadedForm MakeForm(uint32_t formId, const forms::WindowData& window, std::vector<TestEvent> windowEvents,
                           const std::vector<TestUnit>& units, uint32_t frameWidth = 300, uint32_t frameHeight = 200);

class FormsTest : public ::testing::Test {
 protected:
  // Starts the kernel on these forms (LoadTemplates with the real forms layer).
  void Start(const std::vector<forms::LoadedForm>& forms);
  void TearDown() override;

  // CreateWindowFromTemplate through service 2005; true when the window exists afterwards.
  bool Load(uint32_t formId);
  HWND WindowOf(uint32_t formId);
  HWND UnitWindow(uint32_t formId, uint32_t unitId);
  uint64_t Read(uint32_t formId, uint32_t unitId, int32_t property, int32_t member = -1);
  void Write(uint32_t formId, uint32_t unitId, int32_t property, uint32_t low, uint32_t high = 0, int32_t member = -1);
  void WritePointer(uint32_t formId, uint32_t unitId, int32_t property, const void* p, int32_t member = -1);
  // A text property read as bytes (the block is freed).
  std::string ReadText(uint32_t formId, uint32_t unitId, int32_t property, int32_t member = -1);

 private:
  std::vector<uint8_t> segment_;
  ProgramInfoBlock info_{};
};

// What the handlers saw, in order.
std::vector<std::string>& EventLog();

}  // namespace quorlin::testing
