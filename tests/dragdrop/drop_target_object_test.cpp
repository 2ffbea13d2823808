// The drop-target object on its own: its reference count, design mode, the effect rules and
// the readers of dropped data.
#include <gtest/gtest.h>

#include <time.h>

#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/shell/clipboard.h"
#include "platform/shell/global_memory.h"
#include "platform/user/window_core.h"
#include "runtime/dragdrop/drop_effect.h"
#include "runtime/dragdrop/drop_target_object.h"
#include "runtime/dragdrop/dropped_data.h"
#include "tests/dragdrop/test_window.h"

namespace quorlin::dragdrop {
namespace {

using platform::ComPtr;
using platform::ExchangeData;

constexpr DWORD kCopy = DROPEFFECT_COPY, kMove = DROPEFFECT_MOVE, kLink = DROPEFFECT_LINK;

TEST(ChooseDropEffect, FollowsTheKeysAndTheEffectsTheSourceAllows) {
  struct Row {
    DWORD keys;
    DWORD allowed;
    DWORD expected;
  };
  const Row rows[] = {
      {0, kCopy | kMove | kLink, kCopy},    {0, kMove | kLink, kMove},
      {0, kLink, kLink},                    {0, DROPEFFECT_NONE, DROPEFFECT_NONE},
      {MK_CONTROL, kCopy | kMove, kCopy},   {MK_CONTROL, kMove | kLink, DROPEFFECT_NONE},
      {MK_SHIFT, kCopy | kMove, kMove},     {MK_SHIFT, kCopy | kLink, DROPEFFECT_NONE},
      {MK_CONTROL | MK_SHIFT, kCopy | kMove | kLink, DROPEFFECT_NONE},
      {MK_LBUTTON | MK_ALT, kMove, kMove},  // other keys make no preference
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ChooseDropEffect(true, row.keys, row.allowed), row.expected) << row.keys << " " << row.allowed;
    EXPECT_EQ(ChooseDropEffect(false, row.keys, row.allowed), DROPEFFECT_NONE);
  }
}

TEST(HtmlBytesToSystemText, ConvertsUtf8ToGbkAndNoBreakSpacesToSpaces) {
  EXPECT_EQ(HtmlBytesToSystemText(""), "");
  EXPECT_EQ(HtmlBytesToSystemText("plain <b>ascii</b>"), "plain <b>ascii</b>");
  EXPECT_EQ(HtmlBytesToSystemText("a\xC2\xA0\xC2\xA0" "b"), "a  b");
  EXPECT_EQ(HtmlBytesToSystemText("\xE4\xB8\xAD"), "\xD6\xD0");  // 中
  EXPECT_EQ(HtmlBytesToSystemText("\xF0\x9F\x98\x80!"), "?!");   // a character GBK lacks
  EXPECT_EQ(HtmlBytesToSystemText("\xFF" "x"), "?x");            // broken UTF-8
}

TEST(FileListText, OnePathAsItIsSeveralEachEndedByCrLf) {
  EXPECT_EQ(FileListText({"/a b/c"}), "/a b/c");
  EXPECT_EQ(FileListText({"/a", "/b", "/c"}), "/a\r\n/b\r\n/c\r\n");
}

TEST(PathsOfFileDropList, ReadsTheListAndRejectsBrokenBlocks) {
  const HGLOBAL list = platform::MakeFileDropList({"/tmp/x", "/tmp/\xD6\xD0"});
  EXPECT_EQ(PathsOfFileDropList(list), (std::vector<std::string>{"/tmp/x", "/tmp/\xD6\xD0"}));
  GlobalFree(list);

  const HGLOBAL none = platform::MakeFileDropList({});
  EXPECT_EQ(PathsOfFileDropList(none), std::nullopt);
  GlobalFree(none);

  const BYTE junk[] = {0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3};  // a list offset far past the block
  const HGLOBAL broken = platform::GlobalFromBytes(junk, sizeof junk);
  EXPECT_EQ(PathsOfFileDropList(broken), std::nullopt);
  GlobalFree(broken);
  EXPECT_EQ(PathsOfFileDropList(0), std::nullopt);
}

// A quadratic reading (the list read again for every file) takes minutes on this list; a
// linear one well under a second even in the sanitizer build. The bound only tells the two apart.
TEST(PathsOfFileDropList, ALongListIsReadInOnePass) {
  std::vector<std::string> paths;
  for (int i = 0; i < 30000; ++i) paths.push_back("/tmp/dropped/" + std::to_string(i) + ".jpg");
  const HGLOBAL list = platform::MakeFileDropList(paths);
  // <chrono> cannot be read with this folder's GBK execution character set.
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const std::optional<std::vector<std::string>> read = PathsOfFileDropList(list);
  clock_gettime(CLOCK_MONOTONIC, &end);
  const double seconds = static_cast<double>(end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9;
  GlobalFree(list);
  EXPECT_EQ(read, paths);
  EXPECT_LT(seconds, 20.0);
}

TEST(ReadTextFormat, StopsAtTheFirstNulOrTheEndOfTheBlock) {
  ExchangeData data;
  data.custom.push_back({"UniformResourceLocator", {'a', 'b', 0, 'c'}});
  data.custom.push_back({"HTML Format", {'<', 'p', '>'}});  // no terminator
  const auto object = ComPtr<IDataObject>::Adopt(platform::CreateExchangeDataObject(data));
  EXPECT_EQ(ReadTextFormat(object.Get(), RegisterClipboardFormatA("UniformResourceLocator")), "ab");
  EXPECT_EQ(ReadTextFormat(object.Get(), RegisterClipboardFormatA("HTML Format")), "<p>");
  EXPECT_EQ(ReadTextFormat(object.Get(), CF_TEXT), std::nullopt);
  EXPECT_FALSE(Offers(object.Get(), CF_HDROP));
  EXPECT_EQ(ReadFileListText(object.Get()), std::nullopt);
}

class DropTargetObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OleInitialize(nullptr);
    window_ = testing::MakeDropWindow(900, 700, 50, 50);
    ASSERT_TRUE(window_);
  }
  void TearDown() override {
    DestroyWindow(window_);
    OleUninitialize();
  }

  DropTargetObject* Make(DropTargetObject::Mode mode, AcceptedFormats accepted = {}) {
    return new DropTargetObject(accepted, mode, [this](int32_t event, const std::string& text) {
      events_.push_back(std::to_string(event) + ":" + text);
    });
  }

  static DWORD Enter(IDropTarget* target, const ExchangeData& data, DWORD keys, DWORD allowed) {
    const auto object = ComPtr<IDataObject>::Adopt(platform::CreateExchangeDataObject(data));
    DWORD effect = allowed;
    EXPECT_EQ(target->DragEnter(object.Get(), keys, POINTL{0, 0}, &effect), S_OK);
    return effect;
  }

  HWND window_ = 0;
  std::vector<std::string> events_;
};

TEST_F(DropTargetObjectTest, StartsWithOneReferenceAndTheRegistrationHoldsAnother) {
  DropTargetObject* target = Make(DropTargetObject::Mode::Run);
  EXPECT_EQ(target->AddRef(), 2u);
  EXPECT_EQ(target->Release(), 1u);
  EXPECT_TRUE(target->RegisterWindow(window_));
  EXPECT_EQ(target->RegisteredWindow(), window_);
  EXPECT_EQ(target->AddRef(), 3u);
  target->Release();
  target->Close();
  EXPECT_EQ(platform::FindDropTarget(window_), nullptr);
  EXPECT_EQ(target->Release(), 0u);
}

TEST_F(DropTargetObjectTest, RegistersTheTwoFormatsItReadsByName) {
  DropTargetObject* target = Make(DropTargetObject::Mode::Run);
  EXPECT_EQ(target->UrlFormat(), platform::FindClipboardFormat("UniformResourceLocator"));
  EXPECT_EQ(target->HtmlFormat(), platform::FindClipboardFormat("html format"));
  EXPECT_NE(target->UrlFormat(), 0u);
  target->Close();
  target->Release();
}

TEST_F(DropTargetObjectTest, EnterTestsOnlyTheAcceptedFormats) {
  DropTargetObject* target = Make(DropTargetObject::Mode::Run, {.text = false, .html = true, .url = false, .files = false});
  ExchangeData text;
  text.text = "t";
  EXPECT_EQ(Enter(target, text, 0, kCopy), DROPEFFECT_NONE);
  EXPECT_EQ(Enter(target, {.custom = {{"HTML Format", {'h'}}}}, 0, kMove | kLink), kMove);
  DWORD effect = kCopy;
  EXPECT_EQ(target->DragOver(MK_CONTROL, POINTL{0, 0}, &effect), S_OK);
  EXPECT_EQ(effect, kCopy);
  EXPECT_EQ(target->DragLeave(), S_OK);
  effect = kCopy;
  target->DragOver(0, POINTL{0, 0}, &effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);  // leaving forgets what was offered
  EXPECT_EQ(target->DragEnter(nullptr, 0, POINTL{0, 0}, nullptr), E_INVALIDARG);
  target->Close();
  target->Release();
}

TEST_F(DropTargetObjectTest, DropReportsFailureAndNoEffectEvenAfterItsEvents) {
  DropTargetObject* target = Make(DropTargetObject::Mode::Run);
  ExchangeData text;
  text.text = "t";
  const auto object = ComPtr<IDataObject>::Adopt(platform::CreateExchangeDataObject(text));
  DWORD effect = kCopy | kMove;
  target->DragEnter(object.Get(), 0, POINTL{0, 0}, &effect);
  effect = kCopy | kMove;
  EXPECT_TRUE(FAILED(target->Drop(object.Get(), MK_SHIFT, POINTL{0, 0}, &effect)));
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(events_, (std::vector<std::string>{"0:t"}));
  target->Close();
  target->Release();
}

TEST_F(DropTargetObjectTest, InDesignModeItOnlyKeepsItsProperties) {
  DropTargetObject* target = Make(DropTargetObject::Mode::Design, {.text = true, .html = false, .url = true, .files = false});
  EXPECT_EQ(target->UrlFormat(), 0u);
  EXPECT_EQ(target->HtmlFormat(), 0u);
  EXPECT_TRUE(target->Accepted().text);
  EXPECT_FALSE(target->Accepted().html);
  EXPECT_FALSE(target->RegisterWindow(window_));
  EXPECT_EQ(platform::FindDropTarget(window_), nullptr);
  ExchangeData text;
  text.text = "t";
  EXPECT_EQ(Enter(target, text, 0, kCopy), DROPEFFECT_NONE);
  const auto object = ComPtr<IDataObject>::Adopt(platform::CreateExchangeDataObject(text));
  DWORD effect = kCopy;
  target->Drop(object.Get(), 0, POINTL{0, 0}, &effect);
  EXPECT_TRUE(events_.empty());
  target->Close();
  EXPECT_EQ(target->Release(), 0u);
}

TEST_F(DropTargetObjectTest, AClosedTargetRaisesNothingAndCannotBeRegistered) {
  DropTargetObject* target = Make(DropTargetObject::Mode::Run);
  target->Close();
  EXPECT_FALSE(target->RegisterWindow(window_));
  ExchangeData text;
  text.text = "t";
  EXPECT_EQ(Enter(target, text, 0, kCopy), DROPEFFECT_NONE);
  EXPECT_TRUE(events_.empty());
  target->Release();
}

}  // namespace
}  // namespace quorlin::dragdrop
