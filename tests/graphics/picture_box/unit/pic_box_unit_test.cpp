// The picture box as a forms unit: made from its template block, its properties read and
// written with typed values (clamps included), and saved back.
#include <gtest/gtest.h>

#include "graphics/picture_box/unit/pic_box_unit.h"
#include "platform/gdi/gdi.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/library_host.h"
#include "tests/graphics/pictures/picture_writers.h"

namespace quorlin::pictures {
namespace {

using forms::PicBoxData;

LRESULT HolderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

class PicBoxUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool registered = [] {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = &HolderProcedure;
      windowClass.lpszClassName = "PicBoxUnitTestHolder";
      return RegisterClassA(&windowClass) != 0;
    }();
    ASSERT_TRUE(registered);
    holder_ = CreateWindowExA(0, "PicBoxUnitTestHolder", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, 0, 0, 0, nullptr);
  }
  void TearDown() override {
    unit_.reset();
    if (IsWindow(holder_)) DestroyWindow(holder_);
  }

  forms::Unit* Make(const std::vector<uint8_t>& block) {
    forms::UnitCreation creation;
    creation.typeData = block;
    creation.parent = holder_;
    creation.left = 5;
    creation.top = 6;
    creation.width = 20;
    creation.height = 20;
    creation.formId = 0x52010001;
    creation.unitId = 0x16011956;
    unit_ = PicBoxUnitType().Create(creation);
    return unit_.get();
  }

  TypedValue Get(int k) {
    TypedValue value;
    EXPECT_TRUE(unit_->GetProperty(k, value)) << k;
    return value;
  }

  HWND holder_ = 0;
  std::unique_ptr<forms::Unit> unit_;
};

TEST_F(PicBoxUnitTest, TheTemplateBlockMakesTheBoxAndSavesBack) {
  PicBoxData data;
  data.border = 0;
  data.backColor = 0xFFFFFF;
  data.displayMode = 1;
  data.picture = testing::WriteBmp({2, 2, std::vector<testing::Rgb>(4, {1, 2, 3})}, 24, false);
  data.text1 = "one";
  ASSERT_TRUE(Make(forms::WriteTypeData(data)));
  EXPECT_EQ(PicBoxUnitType().DataType(), forms::kTypePicBox);
  const HWND window = unit_->Window();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(GetParent(window), holder_);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  const HDC dc = GetDC(window);
  EXPECT_EQ(GetPixel(dc, 19, 19), RGB(1, 2, 3)) << "stretched over the 20 × 20 box";
  ReleaseDC(window, dc);

  EXPECT_EQ(Get(0).low, 0u);
  EXPECT_EQ(Get(1).low, 0xFFFFFFu);
  EXPECT_EQ(Get(3).low, 1u);
  const TypedValue animate = Get(4);
  EXPECT_EQ(animate.tag, Tag::Boolean);
  EXPECT_EQ(animate.low, 1u);
  const TypedValue picture = Get(2);
  EXPECT_EQ(picture.tag, Tag::ByteSet);
  EXPECT_EQ(ByteSetLength(PointerOf<void>(picture)), data.picture.size());
  LibraryHost::Free(PointerOf<void>(picture));
  const TypedValue text = Get(5);
  EXPECT_EQ(TextView(PointerOf<const char>(text)), "one");
  LibraryHost::Free(PointerOf<void>(text));
  TypedValue none;
  EXPECT_FALSE(unit_->GetProperty(7, none));

  const auto saved = forms::ReadTypeData<PicBoxData>(unit_->SaveTypeData());
  ASSERT_TRUE(saved);
  EXPECT_EQ(*saved, data);
}

TEST_F(PicBoxUnitTest, ABlockOfALaterVersionIsRejected) {
  std::vector<uint8_t> block = forms::WriteTypeData(PicBoxData{});
  block[0] = 3;
  EXPECT_FALSE(Make(block));
  EXPECT_TRUE(Make({})) << "no block: every default";
  EXPECT_EQ(Get(1).low, 0xFF000000u) << "the system colour marker";
  EXPECT_EQ(Get(4).low, 1u);
}

TEST_F(PicBoxUnitTest, WritesAreClampedAndTakeEffect) {
  ASSERT_TRUE(Make({}));
  struct Row {
    int k;
    int32_t written;
    uint32_t readBack;
  } rows[] = {{0, 9, 5}, {0, 3, 3}, {3, 7, 2}, {3, 1, 1}, {1, 0x123456, 0x123456}};
  for (const Row& row : rows) {
    EXPECT_EQ(unit_->SetProperty(row.k, MakeInteger(row.written)), forms::WriteOutcome::Done);
    EXPECT_EQ(Get(row.k).low, row.readBack) << row.k << " written " << row.written;
  }
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(unit_->Window(), GWL_EXSTYLE)) & WS_EX_STATICEDGE, WS_EX_STATICEDGE);

  const testing::Bytes bmp = testing::WriteBmp({1, 1, {{7, 8, 9}}}, 24, false);
  void* bytes = NewByteSet(bmp.data(), bmp.size());
  unit_->SetProperty(2, MakeByteSet(bytes));
  LibraryHost::Free(bytes);
  ShowWindow(unit_->Window(), SW_SHOW);
  UpdateWindow(unit_->Window());
  const HDC dc = GetDC(unit_->Window());
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(7, 8, 9));
  ReleaseDC(unit_->Window(), dc);
  EXPECT_EQ(unit_->SetProperty(2, MakeByteSet(nullptr)), forms::WriteOutcome::Done);
  EXPECT_EQ(Get(2).low, 0u) << "empty bytes clear the picture";
  EXPECT_EQ(unit_->SetProperty(7, MakeInteger(1)), forms::WriteOutcome::Ignored);
}

}  // namespace
}  // namespace quorlin::pictures
