// Waiting for work with the input held: the windows are painted meanwhile, the busy cursor
// shows, and input, posted messages and drops come afterwards, in the queue's order.
#include "platform/user/input_held_wait.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/shell/drag_drop.h"
#include "platform/user/cursors.h"
#include "platform/user/focus.h"
#include "platform/user/input_injection.h"
#include "platform/user/painting.h"
#include "platform/user/virtual_keys.h"
#include "tests/platform/shell/shell_test_support.h"

namespace quorlin::testing {
namespace {

using namespace std::chrono_literals;
using platform::PostInputMessage;
using platform::RunWithInputHeld;
using platform::TheHeadlessShell;

constexpr UINT kPosted = WM_USER + 1;

class DropLog final : public platform::ComObject<IDropTarget> {
 public:
  explicit DropLog(std::vector<std::string>& log) : log_(log) {}
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    log_.push_back("drag enter");
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    log_.push_back("drag leave");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL pt, DWORD* effect) override {
    log_.push_back("drop at " + std::to_string(pt.x) + "," + std::to_string(pt.y));
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }

 private:
  std::vector<std::string>& log_;
};

class InputHeldWaitTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    OleInitialize(nullptr);
    window_ = Window(WS_POPUP | WS_VISIBLE, {100, 100, 300, 200}, 0, [this](HWND hwnd, UINT message, WPARAM wParam,
                                                                              LPARAM, LRESULT&) {
      switch (message) {
        case WM_PAINT: {
          PAINTSTRUCT paint;
          BeginPaint(hwnd, &paint);
          EndPaint(hwnd, &paint);
          log_.push_back("paint");
          painted_ = true;
          return true;
        }
        case WM_LBUTTONDOWN: log_.push_back("button"); return true;
        case WM_CHAR: log_.push_back(std::string("char ") + static_cast<char>(wParam)); return true;
        case kPosted: log_.push_back("posted"); return true;
        default: return false;
      }
    });
    target_ = new DropLog(log_);
    ASSERT_EQ(RegisterDragDrop(window_, target_), S_OK);
    Pump();
    log_.clear();
  }
  void TearDown() override {
    platform::SetHeldWaitTick(nullptr, nullptr);
    RevokeDragDrop(window_);
    target_->Release();
    ShellTest::TearDown();
    OleUninitialize();
  }

  // Input as it would arrive while the thread waits: called on the waiting thread.
  static void ArriveOnce(void* context) {
    auto* test = static_cast<InputHeldWaitTest*>(context);
    if (test->arrived_ || !test->firstPaintSeen_) return;
    test->shapeDuringWait_ = platform::CurrentCursorShape();
    test->serialDuringWait_ = platform::HeldWaitSerial();
    PostInputMessage(MSG{test->window_, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, {}, 0});
    test->dropEffect_ = TheHeadlessShell().DropText("x", {150, 150});
    PostInputMessage(MSG{test->window_, WM_CHAR, 'b', 0, 0, {}, 0});
    PostMessageA(test->window_, kPosted, 0, 0);
    InvalidateRect(test->window_, nullptr, FALSE);
    test->arrived_ = true;
  }

  HWND window_ = 0;
  DropLog* target_ = nullptr;
  std::vector<std::string> log_;  // the window thread's only
  std::atomic<bool> painted_{false};
  std::atomic<bool> arrived_{false};
  std::atomic<bool> firstPaintSeen_{false};
  platform::CursorShape shapeDuringWait_ = platform::CursorShape::Hidden;
  uint64_t serialDuringWait_ = 0;
  DWORD dropEffect_ = DROPEFFECT_NONE;
};

TEST_F(InputHeldWaitTest, WindowsPaintDuringTheWaitAndInputComesAfterInTheQueuesOrder) {
  SetCursor(LoadCursorA(0, IDC_ARROW));
  platform::SetHeldWaitTick(&InputHeldWaitTest::ArriveOnce, this);
  bool paintedBeforeInput = false, paintedAfterInput = false;
  RunWithInputHeld([&] {
    InvalidateRect(window_, nullptr, FALSE);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!painted_ && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
    paintedBeforeInput = painted_.exchange(false);
    firstPaintSeen_ = true;
    while (!(arrived_ && painted_) && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
    paintedAfterInput = painted_;
  });
  EXPECT_TRUE(paintedBeforeInput);
  EXPECT_TRUE(paintedAfterInput);  // a window invalidated while input waits is painted too
  EXPECT_EQ(log_, (std::vector<std::string>{"paint", "paint"}));
  EXPECT_EQ(dropEffect_, static_cast<DWORD>(DROPEFFECT_COPY));  // the drag is answered, not yet dropped
  EXPECT_EQ(shapeDuringWait_, platform::CursorShape::Wait);
  EXPECT_NE(serialDuringWait_, 0u);
  EXPECT_EQ(platform::CurrentCursorShape(), platform::CursorShape::Arrow);
  EXPECT_EQ(platform::HeldWaitSerial(), 0u);
  EXPECT_FALSE(platform::InputHeld());

  log_.clear();
  Pump();
  // Posted messages before input, as the queue always hands them out; the drop in its turn.
  EXPECT_EQ(log_, (std::vector<std::string>{"posted", "button", "drag enter", "drop at 150,150", "char b"}));
}

TEST_F(InputHeldWaitTest, ADragLeftDuringTheWaitLeavesNothingBehind) {
  platform::ExchangeData data;
  data.text = "x";
  std::atomic<bool> left{false};
  struct Context {
    platform::ExchangeData* data;
    std::atomic<bool>* left;
  } context{&data, &left};
  platform::SetHeldWaitTick(
      [](void* raw) {
        auto* c = static_cast<Context*>(raw);
        if (c->left->load()) return;
        EXPECT_EQ(platform::ExternalDragEnter(*c->data, {150, 150}, 0, DROPEFFECT_MOVE | DROPEFFECT_LINK),
                  static_cast<DWORD>(DROPEFFECT_LINK));  // never a move: the drop may come to nothing
        platform::ExternalDragLeave();
        *c->left = true;
      },
      &context);
  RunWithInputHeld([&left] {
    while (!left) std::this_thread::sleep_for(5ms);
  });
  Pump();
  EXPECT_TRUE(log_.empty());
}

// Type-ahead: keys typed while the thread was busy go to the window that has the focus when
// they are taken, as an earlier click in the queue may have moved it.
TEST_F(InputHeldWaitTest, KeysGoToTheFocusOfTheMomentTheyAreTaken) {
  std::vector<std::string> keys;
  const auto logKeys = [&keys](const char* name) {
    return [&keys, name](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
      if (message != WM_CHAR && message != WM_KEYDOWN) return false;
      keys.push_back(std::string(name) + (message == WM_CHAR ? " char " : " key ") + std::to_string(wParam));
      return true;
    };
  };
  const HWND first = Window(WS_CHILD | WS_VISIBLE, {0, 0, 50, 50}, window_, logKeys("first"));
  const HWND second = Window(WS_CHILD | WS_VISIBLE, {60, 0, 110, 50}, window_, logKeys("second"));
  SetForegroundWindow(window_);
  SetFocus(first);
  platform::InjectCharacters("a");
  platform::InjectKey(VK_BACK, true);
  SetFocus(second);
  Pump();
  EXPECT_EQ(keys, (std::vector<std::string>{"second char 97", "second key 8", "second char 8"}));
  platform::InjectKey(VK_BACK, false);
  Pump();
}

TEST(InputActions, RunInTheirTurnAmongTheInputAndOnlyOnce) {
  RegisterHookedClass();
  std::vector<std::string> log;
  const HWND window = MakeWindow(WS_POPUP, {0, 0, 10, 10}, 0, [&log](HWND, UINT message, WPARAM wParam, LPARAM,
                                                                     LRESULT&) {
    if (message != WM_CHAR) return false;
    log.push_back(std::string(1, static_cast<char>(wParam)));
    return true;
  });
  PostInputMessage(MSG{window, WM_CHAR, 'a', 0, 0, {}, 0});
  ASSERT_TRUE(platform::PostInputAction(window, [&log] { log.push_back("action"); }));
  PostInputMessage(MSG{window, WM_CHAR, 'b', 0, 0, {}, 0});
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "action", "b"}));
  // A forged copy of the message runs nothing.
  const MSG action{window, platform::WM_INPUT_ACTION, 1, 0, 0, {}, 0};
  DispatchMessageA(&action);
  EXPECT_EQ(log.size(), 3u);
  EXPECT_FALSE(platform::PostInputAction(0x7FFFFFF0, [] {}));
  DestroyWindow(window);
  Pump();
}

}  // namespace
}  // namespace quorlin::testing
