// Event dispatch: bindings without handler, event source links, the current event source,
// argument conversion of typed events, and no events once a runtime error is under way.
#include <cstring>

#include "platform/user/message_box.h"
#include "platform/user/window_core.h"
#include "runtime/forms/units/event_record.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"
#include "runtime/kernel/runtime_kernel.h"
#include "tests/forms/support/forms_fixture.h"
#include "tests/support/child_process.h"

namespace quorlin::testing {
namespace {

using namespace forms;

constexpr uint32_t kForm = 0x52000001;
constexpr uint32_t kFirst = 0x16000021;   // button bound to handler 1
constexpr uint32_t kLinked = 0x16000022;  // button linked to kFirst, own binding handler 2
constexpr uint32_t kBadLink = 0x16000023; // button linked to a label: keeps its own binding 3
constexpr uint32_t kLabel = 0x16000024;
constexpr uint32_t kUnbound = 0x16000025; // bindings with offset 0xFFFFFFFF and a null entry

HandlerArguments g_seen;
uint32_t g_sourceForm = 0, g_sourceUnit = 0;

template <int N>
HandlerResult Record(const HandlerArguments& arguments) {
  g_seen = arguments;
  uint32_t source[2] = {};
  LibraryHost::Call(HostCode::CurrentEventSource, reinterpret_cast<intptr_t>(source));
  g_sourceForm = source[0];
  g_sourceUnit = source[1];
  EventLog().push_back("handler " + std::to_string(N));
  return {true, 40 + N};
}

TestUnit Button(uint32_t id, std::vector<TestEvent> events, uint32_t link = 0) {
  return {.id = id, .type = kTypeButton, .name = "b", .data = WriteTypeData(ButtonData{}), .events = std::move(events),
          .link = link};
}

class EventDispatchTest : public FormsTest {
 protected:
  void SetUp() override {
    Start({MakeForm(kForm, WindowData{}, {},
                    {Button(kFirst, {{0, 1}}), Button(kLinked, {{0, 2}}, kFirst), Button(kBadLink, {{0, 3}}, kLabel),
                     {.id = kLabel, .type = kTypeLabel, .name = "l", .data = WriteTypeData(LabelData{})},
                     Button(kUnbound, {{0, kNoHandlerOffset}, {1, 9}})})});
    TestHandlers()[1] = &Record<1>;
    TestHandlers()[2] = &Record<2>;
    TestHandlers()[3] = &Record<3>;
    ASSERT_TRUE(Load(kForm));
    EventLog().clear();
  }
};

TEST_F(EventDispatchTest, ALinkedUnitUsesTheBindingsOfItsSourceOfTheSameType) {
  EXPECT_EQ(RaiseEventForResult(kForm, kLinked, 0), std::optional<uint32_t>(41));
  EXPECT_EQ(RaiseEventForResult(kForm, kBadLink, 0), std::optional<uint32_t>(43));
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"handler 1", "handler 3"}));
  // The source is the unit that raised the event, not the one whose binding ran.
  RaiseEvent(kForm, kLinked, 0);
  EXPECT_EQ(g_sourceForm, kForm);
  EXPECT_EQ(g_sourceUnit, kLinked);
  EXPECT_EQ(LibraryHost::Call(HostCode::CurrentEventSource, 0), 0);  // cleared afterwards
}

TEST_F(EventDispatchTest, ABindingWithoutHandlerRunsNothing) {
  EXPECT_FALSE(RaiseEvent(kForm, kUnbound, 0));  // offset 0xFFFFFFFF
  EXPECT_FALSE(RaiseEvent(kForm, kUnbound, 1));  // an entry the program has not written
  EXPECT_FALSE(RaiseEvent(kForm, kUnbound, 7));  // no binding at all
  EXPECT_TRUE(EventLog().empty());
}

TEST_F(EventDispatchTest, AClickOfTheRealButtonReachesItsHandler) {
  SendMessageA(UnitWindow(kForm, kFirst), 0x00F5 /* BM_CLICK */, 0, 0);
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"handler 1"}));
}

TEST_F(EventDispatchTest, TypedArgumentsAreConvertedByTagAndFlags) {
  const char* text = "text";
  double d = 2.5;
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  const auto pointer = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(text));
  const EventArgument arguments[] = {
      {0x1FF, 0xAA, Tag::Byte, 0},                 // widened from the low byte
      {0xFFFE, 0xAA, Tag::Short, 0},               // widened with its sign
      {7, 0xAA, Tag::Integer, 0},                  // the low word
      {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), Tag::Double, 0},
      {static_cast<uint32_t>(pointer), static_cast<uint32_t>(pointer >> 32), Tag::Text, 0},
      {5, 6, Tag::Long, kArgumentByReference},     // a reference: the low word unchanged
      {5, 6, Tag::Integer, kArgumentBothWords},
  };
  bool ran = false;
  const auto result = RaiseTypedEvent(kForm, kFirst, 0, arguments, &ran);
  EXPECT_TRUE(ran);
  EXPECT_EQ(result, std::optional<uint64_t>(41));
  ASSERT_EQ(g_seen.count, 7);
  EXPECT_EQ(g_seen.values[0], 0xFFu);
  EXPECT_EQ(g_seen.values[1], 0xFFFFFFFEu);
  EXPECT_EQ(g_seen.values[2], 7u);
  EXPECT_EQ(g_seen.values[3], bits);
  EXPECT_EQ(g_seen.values[4], pointer);
  EXPECT_EQ(g_seen.values[5], 5u);
  EXPECT_EQ(g_seen.values[6], 0x600000005u);

  const uint32_t words[] = {1, 2, 3};
  RaiseEvent(kForm, kFirst, 0, words);
  ASSERT_EQ(g_seen.count, 3);
  EXPECT_EQ(g_seen.values[2], 3u);
}

TEST_F(EventDispatchTest, NoEventReachesItsHandlerWhileARuntimeErrorBoxIsShown) {
  const ChildResult result = RunInChild([] {
    platform::SetMessageBoxPresenter([](HWND, LPCSTR, LPCSTR, UINT) {
      const bool ran = RaiseEvent(kForm, kFirst, 0);
      fprintf(stderr, "handler ran: %s\n", ran ? "yes" : "no");
      return IDOK;
    });
    Kernel().ReportRuntimeError("boom", 0);
  });
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(result.standardError, "handler ran: no\n");
}

}  // namespace
}  // namespace quorlin::testing
