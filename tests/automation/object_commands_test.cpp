#include <png.h>

#include <cstring>
#include <string>

#include "platform/com/class_registry.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_types.h"
#include "runtime/automation/automation_commands.h"
#include "tests/automation/automation_test_support.h"

namespace quorlin::testing {
namespace {

using namespace quorlin::automation;

class ObjectCommandsTest : public AutomationTest {};

TEST_F(ObjectCommandsTest, CreatesByProgIdOrClassIdentifier) {
  for (const char* name : {kRecorderProgId, "quorlin.test.RECORDER", kRecorderClsidText}) {
    const TypedValue variable = ObjectVariable();
    EXPECT_TRUE(BooleanOf(ObjectCreateCommand, {variable, Text(name)})) << name;
    EXPECT_EQ(TextOf(ObjectReadTextCommand, {variable, Text("Describe")}), "recorder") << name;
    EXPECT_EQ(RecordOf(variable).recordData, nullptr);
  }
}

TEST_F(ObjectCommandsTest, AFailedCreationLeavesTheVariableAsItWas) {
  const TypedValue variable = Recorder();
  IUnknown* before = RecordOf(variable).object;
  for (const char* name : {"Quorlin.Test.Unregistered", "{00000000-0000-0000-0000-00000000000F}", "{not a guid}", ""}) {
    EXPECT_FALSE(BooleanOf(ObjectCreateCommand, {variable, Text(name)})) << name;
    EXPECT_EQ(RecordOf(variable).object, before) << name;
  }
  EXPECT_EQ(LiveTestObjects(), 1);
}

TEST_F(ObjectCommandsTest, ATypeLibraryThatCannotBeLoadedFallsBackToTheClassName) {
  const TypedValue variable = ObjectVariable();
  EXPECT_TRUE(BooleanOf(ObjectCreateCommand, {variable, Text(kRecorderProgId), Text("C:\\types\\recorder.tlb")}));
  EXPECT_NE(RecordOf(variable).object, nullptr);
}

TEST_F(ObjectCommandsTest, CreationReplacesAndClearReleasesTheHeldObject) {
  const TypedValue variable = Recorder();
  EXPECT_TRUE(BooleanOf(ObjectCreateCommand, {variable, Text(kRecorderProgId)}));
  EXPECT_EQ(LiveTestObjects(), 1) << "the object held before is released";
  EXPECT_EQ(Call(ObjectClearCommand, {variable}).tag, 0u);
  EXPECT_EQ(LiveTestObjects(), 0);
  EXPECT_EQ(RecordOf(variable).object, nullptr);
  Call(ObjectClearCommand, {variable});  // clearing an empty variable does nothing
  EXPECT_EQ(RecordOf(variable).object, nullptr);
}

TEST_F(ObjectCommandsTest, OnlyAnObjectVariableIsFilled) {
  EXPECT_FALSE(BooleanOf(ObjectCreateCommand, {Text("x"), Text(kRecorderProgId)}));
  EXPECT_FALSE(BooleanOf(ObjectCreateCommand, {}));
  EXPECT_FALSE(BooleanOf(ObjectFromPictureCommand, {VariantVariable(), Bytes("BM")}));
  EXPECT_EQ(LiveTestObjects(), 0);
}

// A 24-bit bottom-up BMP file of width × height pixels of one colour.
std::string BmpFile(int width, int height) {
  const int stride = (width * 3 + 3) & ~3;
  const int imageSize = stride * height;
  std::string file(54 + imageSize, '\0');
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&file[at], &v, 2); };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, 24);
  put32(34, static_cast<uint32_t>(imageSize));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) file[54 + y * stride + x * 3 + 2] = '\xC0';
  }
  return file;
}

std::string PngFile(int width, int height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  std::string pixels(static_cast<size_t>(width) * height * 4, '\x80');
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) return {};
  std::string file(size, '\0');
  if (!png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr)) return {};
  file.resize(size);
  return file;
}

TEST_F(ObjectCommandsTest, APictureObjectOwnsTheBitmapMadeFromTheFile) {
  const struct {
    const char* kind;
    std::string file;
  } rows[] = {{"BMP", BmpFile(5, 3)}, {"PNG", PngFile(4, 6)}};
  for (const auto& row : rows) {
    ASSERT_FALSE(row.file.empty()) << row.kind;
    const TypedValue variable = ObjectVariable();
    ASSERT_TRUE(BooleanOf(ObjectFromPictureCommand, {variable, Bytes(row.file)})) << row.kind;
    const TypedValue handle = Call(ObjectReadDoubleCommand, {variable, Text("Handle")});
    EXPECT_EQ(LastCallStatus(), 0) << row.kind;
    const auto bitmap = static_cast<HBITMAP>(DoubleOf(handle));
    ASSERT_NE(bitmap, 0u) << row.kind;
    EXPECT_EQ(GetObjectType(bitmap), OBJ_BITMAP) << row.kind;
    EXPECT_GT(IntegerOf(ObjectReadIntegerCommand, {variable, Text("Width")}), 0) << row.kind;
    Call(ObjectClearCommand, {variable});
    EXPECT_EQ(GetObjectType(bitmap), 0u) << row.kind << ": the bitmap goes with the picture";
  }
}

TEST_F(ObjectCommandsTest, BytesThatAreNoPictureGiveAnEmptyPicture) {
  for (const std::string& bytes : {std::string(), std::string("not a picture at all")}) {
    const TypedValue variable = Recorder();
    ASSERT_TRUE(BooleanOf(ObjectFromPictureCommand, {variable, Bytes(bytes)}));
    EXPECT_EQ(LiveTestObjects(), 0) << "the object held before is released";
    const TypedValue handle = Call(ObjectReadDoubleCommand, {variable, Text("Handle")});
    EXPECT_EQ(LastCallStatus(), 0);
    EXPECT_EQ(DoubleOf(handle), 0.0);
  }
}

}  // namespace
}  // namespace quorlin::testing
