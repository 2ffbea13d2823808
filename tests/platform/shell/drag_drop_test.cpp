#include <cstring>
#include <thread>
#include <string>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/clipboard.h"
#include "platform/shell/drag_drop.h"
#include "platform/shell/global_memory.h"
#include "tests/platform/shell/shell_test_support.h"

namespace quorlin::testing {
namespace {

using platform::ExternalDragDrop;
using platform::ExternalDragEnter;
using platform::ExternalDragLeave;
using platform::ExternalDragOver;
using platform::TheHeadlessShell;

constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

// Records what reaches it and answers with a fixed effect.
class RecordingTarget final : public platform::ComObject<IDropTarget> {
 public:
  RecordingTarget(std::string name, std::vector<std::string>& log, DWORD answer = DROPEFFECT_COPY,
                  HRESULT dropResult = S_OK)
      : name_(std::move(name)), log_(log), answer_(answer), dropResult_(dropResult) {}

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override {
    Note("enter", keys, pt, *effect);
    data_ = data;
    *effect = answer_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override {
    Note("over", keys, pt, *effect);
    *effect = answer_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    log_.push_back("leave " + name_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override {
    Note("drop", keys, pt, *effect);
    dropped_ = data == data_;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (SUCCEEDED(data->GetData(&format, &medium))) {
      files_ = DragQueryFileA(medium.hGlobal, 0xFFFFFFFFu, nullptr, 0);
      ReleaseStgMedium(&medium);
    }
    *effect = answer_;
    return dropResult_;
  }

  bool SameDataAtDrop() const { return dropped_; }
  UINT Files() const { return files_; }

 private:
  void Note(const char* what, DWORD keys, POINTL pt, DWORD allowed) {
    log_.push_back(std::string(what) + " " + name_ + " keys=" + std::to_string(keys) + " allowed=" +
                   std::to_string(allowed) + " at=" + std::to_string(pt.x) + "," + std::to_string(pt.y));
  }

  std::string name_;
  std::vector<std::string>& log_;
  DWORD answer_;
  HRESULT dropResult_;
  IDataObject* data_ = nullptr;
  bool dropped_ = false;
  UINT files_ = 0;
};

class DragDropTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    OleInitialize(nullptr);
    parent_ = Window(WS_POPUP | WS_VISIBLE, {100, 100, 400, 300});
    child_ = Window(WS_CHILD | WS_VISIBLE, {10, 10, 110, 110}, parent_);
    other_ = Window(WS_POPUP | WS_VISIBLE, {500, 100, 600, 200});
  }
  void TearDown() override {
    RevokeDragDrop(parent_);
    RevokeDragDrop(other_);
    RevokeDragDrop(child_);
    ShellTest::TearDown();
    OleUninitialize();
  }

  HWND parent_ = 0, child_ = 0, other_ = 0;
  std::vector<std::string> log_;
};

TEST_F(DragDropTest, RegistrationRules) {
  auto* target = new RecordingTarget("p", log_);
  EXPECT_EQ(RegisterDragDrop(parent_, target), S_OK);
  EXPECT_EQ(RegisterDragDrop(parent_, target), DRAGDROP_E_ALREADYREGISTERED);
  EXPECT_EQ(RegisterDragDrop(0x7FFFFFF0, target), DRAGDROP_E_INVALIDHWND);
  EXPECT_EQ(RegisterDragDrop(other_, nullptr), E_INVALIDARG);
  EXPECT_EQ(RevokeDragDrop(other_), DRAGDROP_E_NOTREGISTERED);
  EXPECT_EQ(RevokeDragDrop(parent_), S_OK);
  EXPECT_EQ(RevokeDragDrop(parent_), DRAGDROP_E_NOTREGISTERED);
  EXPECT_EQ(target->Release(), 0u);  // the registration's reference was given back
}

TEST_F(DragDropTest, RegistrationNeedsOleOnTheCallingThread) {
  auto* target = new RecordingTarget("p", log_);
  HRESULT result = S_OK;
  std::thread([&] { result = RegisterDragDrop(parent_, target); }).join();
  EXPECT_EQ(result, E_OUTOFMEMORY);
  target->Release();
}

TEST_F(DragDropTest, ADropGoesToTheNearestRegisteredAncestorInOrder) {
  auto* target = new RecordingTarget("p", log_);
  ASSERT_EQ(RegisterDragDrop(parent_, target), S_OK);
  // Over the child (screen 120,120 lies in it); the child has no target of its own.
  const DWORD effect = TheHeadlessShell().DropFiles({"/tmp/a.png", "/tmp/b.jpg"}, {120, 120}, MK_CONTROL);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  const std::vector<std::string> expected{
      "enter p keys=8 allowed=7 at=120,120",
      "over p keys=8 allowed=7 at=120,120",
      "drop p keys=8 allowed=7 at=120,120",
  };
  EXPECT_EQ(log_, expected);
  EXPECT_TRUE(target->SameDataAtDrop());
  EXPECT_EQ(target->Files(), 2u);
  target->Release();
}

TEST_F(DragDropTest, MovingBetweenTargetsLeavesOneAndEntersTheOther) {
  auto* first = new RecordingTarget("p", log_, DROPEFFECT_MOVE);
  auto* second = new RecordingTarget("o", log_, DROPEFFECT_LINK);
  ASSERT_EQ(RegisterDragDrop(parent_, first), S_OK);
  ASSERT_EQ(RegisterDragDrop(other_, second), S_OK);
  platform::ExchangeData data;
  data.text = "hi";
  EXPECT_EQ(ExternalDragEnter(data, {150, 150}, 0, DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_MOVE);
  EXPECT_EQ(ExternalDragOver({160, 150}, MK_SHIFT), DROPEFFECT_MOVE);
  // A chosen effect the source does not allow comes back as none.
  EXPECT_EQ(ExternalDragOver({550, 150}, 0), DROPEFFECT_NONE);
  EXPECT_EQ(ExternalDragOver({900, 900}, 0), DROPEFFECT_NONE);  // over nothing
  ExternalDragLeave();
  const std::vector<std::string> expected{
      "enter p keys=0 allowed=3 at=150,150", "over p keys=4 allowed=3 at=160,150", "leave p",
      "enter o keys=0 allowed=3 at=550,150", "leave o",
  };
  EXPECT_EQ(log_, expected);
  EXPECT_EQ(ExternalDragDrop({550, 150}, 0), DROPEFFECT_NONE);  // no drag any more
  first->Release();
  second->Release();
}

TEST_F(DragDropTest, AFailedDropReportsNoEffect) {
  auto* target = new RecordingTarget("p", log_, DROPEFFECT_COPY, E_FAIL);
  ASSERT_EQ(RegisterDragDrop(parent_, target), S_OK);
  EXPECT_EQ(TheHeadlessShell().DropText("x", {150, 150}), DROPEFFECT_NONE);
  EXPECT_EQ(log_.size(), 3u);
  target->Release();
}

TEST_F(DragDropTest, TheDataObjectOffersItsFormatsAsGlobalMemory) {
  platform::ExchangeData data;
  data.text = "中";
  data.files = {"/tmp/a"};
  data.custom = {{"HTML Format", {'<', 'b', '>', 0}}};
  platform::ComPtr<IDataObject> object = platform::ComPtr<IDataObject>::Adopt(platform::CreateExchangeDataObject(data));
  const UINT html = RegisterClipboardFormatA("HTML Format");

  std::vector<UINT> offered;
  IEnumFORMATETC* formats = nullptr;
  ASSERT_EQ(object->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
  FORMATETC one;
  while (formats->Next(1, &one, nullptr) == S_OK) offered.push_back(one.cfFormat);
  formats->Release();
  EXPECT_EQ(offered, (std::vector<UINT>{CF_TEXT, CF_OEMTEXT, CF_UNICODETEXT, CF_HDROP, html}));

  FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(object->QueryGetData(&format), S_OK);
  STGMEDIUM medium{};
  ASSERT_EQ(object->GetData(&format, &medium), S_OK);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(medium.hGlobal)), "\xD6\xD0");
  GlobalUnlock(medium.hGlobal);
  ReleaseStgMedium(&medium);

  format.cfFormat = static_cast<CLIPFORMAT>(html);
  ASSERT_EQ(object->GetData(&format, &medium), S_OK);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(medium.hGlobal)), "<b>");
  GlobalUnlock(medium.hGlobal);
  ReleaseStgMedium(&medium);

  format.tymed = TYMED_ISTREAM;
  EXPECT_EQ(object->QueryGetData(&format), DV_E_TYMED);
  format = FORMATETC{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  EXPECT_EQ(object->QueryGetData(&format), DV_E_FORMATETC);
}

TEST(FileDropList, CountsAndTruncatesWithoutSplittingCharacters) {
  const HGLOBAL drop = platform::MakeFileDropList({"C:\\a.png", "\xD6\xD0\xCE\xC4.jpg"}, {3, 4});
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0), 2u);
  EXPECT_EQ(DragQueryFileA(drop, 1, nullptr, 0), 8u);
  char buffer[16];
  struct Row {
    UINT size;
    UINT copied;
    const char* text;
  };
  for (const Row& row : {Row{16, 8, "\xD6\xD0\xCE\xC4.jpg"}, Row{4, 2, "\xD6\xD0"}, Row{2, 0, ""}, Row{1, 0, ""}}) {
    SCOPED_TRACE(row.size);
    EXPECT_EQ(DragQueryFileA(drop, 1, buffer, row.size), row.copied);
    EXPECT_STREQ(buffer, row.text);
  }
  EXPECT_EQ(DragQueryFileA(drop, 2, buffer, sizeof buffer), 0u);
  POINT at{};
  EXPECT_TRUE(DragQueryPoint(drop, &at));
  EXPECT_EQ(at.x, 3);
  EXPECT_EQ(at.y, 4);
  DragFinish(drop);
  EXPECT_EQ(GlobalSize(drop), 0u);
}

TEST(FileDropList, MalformedListsAreRefused) {
  struct Row {
    const char* note;
    DWORD offset;
    BOOL wide;
    std::vector<BYTE> list;
    UINT count;
  };
  const std::vector<Row> rows{
      {"offset past the block", 4000, FALSE, {'a', 0, 0}, 0},
      {"offset inside the header", 4, FALSE, {'a', 0, 0}, 0},
      {"last path unterminated", 20, FALSE, {'a', 0, 'b'}, 1},
      {"wide paths", 20, TRUE, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}, 2},
      {"odd wide tail", 20, TRUE, {'a', 0, 0}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.note);
    std::vector<BYTE> block(sizeof(DROPFILES) + row.list.size());
    DROPFILES header{row.offset, {0, 0}, FALSE, row.wide};
    std::memcpy(block.data(), &header, sizeof header);
    std::memcpy(block.data() + sizeof header, row.list.data(), row.list.size());
    const HGLOBAL drop = platform::GlobalFromBytes(block.data(), block.size());
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0), row.count);
    GlobalFree(drop);
  }
  EXPECT_EQ(DragQueryFileA(0, 0xFFFFFFFFu, nullptr, 0), 0u);
}

}  // namespace
}  // namespace quorlin::testing
