// The panel as a forms unit: created from a type data block, properties as typed values, the
// paint event through the kernel's event service, and the saved block.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "graphics/draw_panel/draw_panel.h"
#include "graphics/draw_panel/panel_font.h"
#include "graphics/draw_panel/unit/draw_panel_commands.h"
#include "graphics/snapshot/snapshot_command.h"
#include "runtime/kernel/blocks.h"
#include "graphics/draw_panel/unit/draw_panel_unit.h"
#include "graphics/pictures/picture_registry.h"
#include "graphics/pictures/pictures.h"
#include "platform/gdi/gdi.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/forms/units/event_record.h"
#include "runtime/forms/units/unit_support.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::drawpanel {
namespace {

struct FakeKernel {
  std::vector<forms::EventRecord> events;
  int destroyed = 0;
  forms::Unit* live = nullptr;  // the unit (7, 9)
};

FakeKernel& Kernel() {
  static FakeKernel kernel;
  return kernel;
}

intptr_t FakeHost(int32_t code, intptr_t p1, intptr_t p2) {
  switch (code) {
    case HostCode::Allocate: return reinterpret_cast<intptr_t>(std::malloc(static_cast<size_t>(p1)));
    case HostCode::Free: std::free(reinterpret_cast<void*>(p1)); return 0;
    case HostCode::RaiseEvent:
      Kernel().events.push_back(*reinterpret_cast<const forms::EventRecord*>(p1));
      return 1;
    case HostCode::UnitDestroyed: ++Kernel().destroyed; return 0;
    case HostCode::FindLiveObjectOrFail:
      return p1 == 7 && p2 == 9 ? reinterpret_cast<intptr_t>(Kernel().live) : 0;
    default: return 0;
  }
}

class DrawPanelUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LibraryHost::Attach(&FakeHost);
    Kernel() = {};
    WNDCLASSA wc{};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.lpszClassName = "DrawPanelUnitTestFrame";
    RegisterClassA(&wc);
    frame_ = CreateWindowExA(0, "DrawPanelUnitTestFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, 0, 0, 0, nullptr);
  }
  void TearDown() override {
    if (IsWindow(frame_)) DestroyWindow(frame_);
    Pump();
  }
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  std::unique_ptr<forms::Unit> Make(const std::vector<uint8_t>& block) {
    forms::UnitCreation creation;
    creation.typeData = block;
    creation.parent = frame_;
    creation.width = 40;
    creation.height = 30;
    creation.formId = 7;
    creation.unitId = 9;
    return DrawPanelUnitType().Create(creation);
  }
  HWND frame_ = 0;
};

TEST_F(DrawPanelUnitTest, TypeDataBecomesTheProperties) {
  forms::DrawPanelData data;
  data.drawMode = 40;  // clamped on creation
  data.backColor = 0x00112233;
  data.font = forms::MakeLogFont({-20, 400, 134, "Face"});
  const std::unique_ptr<forms::Unit> unit = Make(forms::WriteTypeData(data));
  ASSERT_TRUE(unit);
  EXPECT_EQ(DrawPanelUnitType().DataType(), forms::kTypeDrawPanel);
  EXPECT_STREQ(DrawPanelUnitType().EnglishName(), "DrawPanel");
  EXPECT_EQ(DrawPanelUnitType().Properties().size(), 17u);
  TypedValue value{};
  ASSERT_TRUE(unit->GetProperty(7, value));
  EXPECT_EQ(static_cast<int32_t>(value.low), 15);
  ASSERT_TRUE(unit->GetProperty(1, value));
  EXPECT_EQ(value.low, 0x00112233u);
  ASSERT_TRUE(unit->GetProperty(14, value));
  EXPECT_EQ(forms::BytesOf(value), data.font);
  LibraryHost::Free(PointerOf<void>(value));
  ASSERT_TRUE(unit->GetProperty(15, value));
  EXPECT_EQ(static_cast<int32_t>(value.low), 40) << "client width";
  EXPECT_FALSE(unit->GetProperty(17, value));

  EXPECT_EQ(unit->SetProperty(10, MakeInteger(60)), forms::WriteOutcome::Done);
  EXPECT_EQ(unit->SetProperty(15, MakeInteger(3)), forms::WriteOutcome::Ignored) << "read-only";
  const std::optional<forms::DrawPanelData> saved = forms::ReadTypeData<forms::DrawPanelData>(unit->SaveTypeData());
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->brushType, 55u);
  EXPECT_EQ(saved->drawMode, 15u);
  EXPECT_EQ(saved->font, data.font);

  DestroyWindow(unit->Window());
  EXPECT_EQ(Kernel().destroyed, 1);
}

TEST_F(DrawPanelUnitTest, ALaterVersionIsRejectedAndAnEmptyBlockGivesDefaults) {
  std::vector<uint8_t> block = forms::WriteTypeData(forms::DrawPanelData{});
  block[0] = 2;
  EXPECT_FALSE(Make(block));
  const std::unique_ptr<forms::Unit> unit = Make({});
  ASSERT_TRUE(unit);
  TypedValue value{};
  ASSERT_TRUE(unit->GetProperty(3, value));
  EXPECT_EQ(value.low, 1u) << "BackPictureMode 1";
  DestroyWindow(unit->Window());
}

TEST_F(DrawPanelUnitTest, PaintEventReachesTheKernelWithTheInvalidRectangle) {
  const std::unique_ptr<forms::Unit> unit = Make({});
  ASSERT_TRUE(unit);
  ShowWindow(unit->Window(), SW_SHOW);
  Pump();
  Kernel().events.clear();
  const RECT part{2, 3, 12, 13};
  InvalidateRect(unit->Window(), &part, FALSE);
  Pump();
  ASSERT_EQ(Kernel().events.size(), 1u);
  const forms::EventRecord& event = Kernel().events[0];
  EXPECT_EQ(event.formId, 7u);
  EXPECT_EQ(event.unitId, 9u);
  EXPECT_EQ(event.eventIndex, 0);
  ASSERT_EQ(event.argumentCount, 4);
  EXPECT_EQ(std::vector<uint32_t>(event.arguments, event.arguments + 4), (std::vector<uint32_t>{2, 3, 12, 13}));
  DestroyWindow(unit->Window());
}

TEST_F(DrawPanelUnitTest, DrawPictureDrawsOnlyARegisteredPicture) {
  const std::unique_ptr<forms::Unit> unit = Make({});
  ASSERT_TRUE(unit);
  Kernel().live = unit.get();
  ShowWindow(unit->Window(), SW_SHOW);
  // A 2 × 2 24-bit BMP, all pixels pure red (rows of 6 bytes padded to 8).
  std::vector<uint8_t> bmp(54 + 16, 0);
  const auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, static_cast<uint32_t>(bmp.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, 2);
  put32(22, 2);
  bmp[26] = 1;
  bmp[28] = 24;
  for (size_t row = 0; row < 2; ++row) {
    for (size_t x = 0; x < 2; ++x) bmp[54 + row * 8 + x * 3 + 2] = 0xFF;
  }
  const pictures::PictureValue picture = pictures::RegisterPicture(pictures::DecodePicture(bmp.data(), bmp.size()));
  ASSERT_NE(picture, 0u);
  const TypedValue reference{7, 9, 0x00010008};
  TypedValue pictureArgument{};
  SetValue64(pictureArgument, picture);
  pictureArgument.tag = Tag::Long;
  std::vector<TypedValue> args{reference, pictureArgument, MakeInteger(10), MakeInteger(20), MakeInteger(8), MakeInteger(8)};
  TypedValue result{};
  const HDC dc = GetDC(unit->Window());
  const COLORREF before = GetPixel(dc, 12, 22);
  ASSERT_NE(before, RGB(255, 0, 0));
  pictures::UnregisterPicture(picture);
  DrawPictureCommand(&result, static_cast<int32_t>(args.size()), args.data());
  EXPECT_EQ(GetPixel(dc, 12, 22), before) << "a picture no longer registered draws nothing";
  const pictures::PictureValue again = pictures::RegisterPicture(pictures::DecodePicture(bmp.data(), bmp.size()));
  SetValue64(args[1], again);
  DrawPictureCommand(&result, static_cast<int32_t>(args.size()), args.data());
  EXPECT_EQ(GetPixel(dc, 12, 22), RGB(255, 0, 0)) << "stretched to 8 × 8 at (10, 20)";
  EXPECT_EQ(GetPixel(dc, 17, 27), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 19, 22), before) << "outside the drawn size";
  ReleaseDC(unit->Window(), dc);
  pictures::UnregisterPicture(again);
  DestroyWindow(unit->Window());
}

TEST_F(DrawPanelUnitTest, CommandsResolveThePanelAndTurnValuesIntoText) {
  const std::unique_ptr<forms::Unit> unit = Make({});
  ASSERT_TRUE(unit);
  Kernel().live = unit.get();
  DrawPanel* panel = DrawPanel::FromWindow(unit->Window());
  const TypedValue reference{7, 9, 0x00010008};
  std::vector<TypedValue> args{reference, MakeInteger(5), MakeInteger(6)};
  TypedValue result{};
  SetWritePositionCommand(&result, static_cast<int32_t>(args.size()), args.data());
  EXPECT_EQ(panel->WritePosition().x, 5);

  const uint8_t bytes[] = {1, 2};
  void* byteSet = NewByteSet(bytes, sizeof bytes);
  args = {reference, MakeInteger(42), MakeByteSet(byteSet), MakeText("x")};
  WriteTextCommand(&result, static_cast<int32_t>(args.size()), args.data());
  LibraryHost::Free(byteSet);
  const LOGFONTA record = PanelFontRecord({}, 0, 96);
  const HFONT font = CreateFontIndirectA(&record);
  const HDC dc = CreateCompatibleDC(0);
  SelectObject(dc, font);
  SIZE expected{};
  GetTextExtentPoint32A(dc, "42", 2, &expected);
  SIZE x{};
  GetTextExtentPoint32A(dc, "x", 1, &x);
  DeleteDC(dc);
  DeleteObject(font);
  EXPECT_EQ(panel->WritePosition().x, 5 + expected.cx + x.cx) << "the number as text, the byte set skipped";

  args = {reference};
  ClearCommand(&result, 1, args.data());
  EXPECT_EQ(panel->WritePosition().x, 0);

  ShowWindow(unit->Window(), SW_SHOW);
  args = {MakeInteger(static_cast<int32_t>(unit->Window())), TypedValue{}, MakeInteger(-50)};
  snapshot::SnapshotCommand(&result, 3, args.data());
  ASSERT_EQ(result.tag, Tag::ByteSet);
  EXPECT_EQ(ByteSetLength(PointerOf<void>(result)), 54u + 120 * 15);
  LibraryHost::Free(PointerOf<void>(result));
  const HWND gone = unit->Window();
  DestroyWindow(gone);
  args = {MakeInteger(static_cast<int32_t>(gone))};
  snapshot::SnapshotCommand(&result, 1, args.data());
  EXPECT_EQ(result.tag, Tag::ByteSet);
  EXPECT_EQ(PointerOf<void>(result), nullptr) << "the empty byte set";
}

}  // namespace
}  // namespace quorlin::drawpanel
