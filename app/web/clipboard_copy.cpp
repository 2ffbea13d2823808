// CopyPictureToClipboard and GetForegroundFocus over the DLL commands 9 to 17.
#include <cmath>

#include "app/constant_segment.h"
#include "app/support/dll_commands.h"
#include "app/web/automation_variables.h"
#include "app/web/text_helpers.h"

namespace quorlin::app::web {
namespace {

constexpr uint32_t kBitmapFormat = 2;  // CF_BITMAP

QUORLIN_CONSTANT const char kHandle[] = "Handle";

uint32_t CallHandle(int32_t command) { return static_cast<uint32_t>(CallDll(command, 'i', "", {})); }

// The picture's "Handle" read as a double, truncated toward zero. A handle travels as a
// 32-bit integer, so a value outside that range is no handle.
uint32_t HandleFromDouble(double value) {
  if (!std::isfinite(value) || value <= -2147483649.0 || value >= 4294967296.0) return 0;
  return static_cast<uint32_t>(static_cast<int64_t>(value));
}

}  // namespace

uint32_t GetForegroundFocus() {
  const uint32_t foreground = CallHandle(DllCommand::GetForegroundWindow);
  const uint32_t current = CallHandle(DllCommand::GetCurrentThreadId);
  uint32_t processId = 0;
  const auto foregroundThread = static_cast<uint32_t>(CallDll(
      DllCommand::GetWindowThreadProcessId, 'i', "ip", {foreground, reinterpret_cast<uintptr_t>(&processId)}));
  if (foregroundThread == current) return CallHandle(DllCommand::GetFocus);
  CallDll(DllCommand::AttachThreadInput, 'i', "iii", {foregroundThread, current, 1});
  const uint32_t focus = CallHandle(DllCommand::GetFocus);
  CallDll(DllCommand::AttachThreadInput, 'i', "iii", {foregroundThread, current, 0});
  return focus;
}

void CopyPictureToClipboard(const void* pictureBytes) {
  ObjectVariable picture;
  CallCore(&automation::ObjectFromPictureCommand, {picture.Value(), MakeByteSet(pictureBytes)});
  const uint32_t bitmap =
      HandleFromDouble(DoubleOf(CallCore(&automation::ObjectReadDoubleCommand, {picture.Value(), MakeText(kHandle)})));
  const uint32_t owner = GetForegroundFocus();
  // The clipboard keeps its own copy of the bitmap's pixels, so releasing the picture (which
  // destroys its bitmap) leaves what the clipboard holds intact.
  CallDll(DllCommand::OpenClipboard, 'i', "i", {owner});
  CallDll(DllCommand::EmptyClipboard, 'i', "", {});
  CallDll(DllCommand::SetClipboardData, 'i', "ii", {kBitmapFormat, bitmap});
  CallDll(DllCommand::CloseClipboard, 'i', "", {});
  picture.Clear();
}

}  // namespace quorlin::app::web
