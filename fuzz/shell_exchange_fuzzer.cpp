// Data other programs hand over through the clipboard or a drop: a file-drop list (CF_HDROP)
// and a packed DIB (CF_DIB); the first byte chooses which the rest is read as.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/shell/clipboard_conversions.h"
#include "platform/shell/drag_drop.h"
#include "platform/shell/global_memory.h"
#include "platform/shell/headless_shell.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t kind = data[0] % 3;
  ++data;
  --size;
  if (kind == 0) {
    const HGLOBAL drop = quorlin::platform::GlobalFromBytes(data, size);
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0);
    char buffer[64];
    for (UINT i = 0; i < count && i < 64; ++i) {
      DragQueryFileA(drop, i, nullptr, 0);
      DragQueryFileA(drop, i, buffer, sizeof buffer);
    }
    POINT at;
    DragQueryPoint(drop, &at);
    DragFinish(drop);
  } else if (kind == 1) {
    if (const HBITMAP bitmap = quorlin::platform::BitmapFromPackedDib(data, size)) {
      quorlin::platform::PackedDibOfBitmap(bitmap);
      DeleteObject(bitmap);
    }
  } else {
    quorlin::platform::ParseDialogAnswer(std::string(reinterpret_cast<const char*>(data), size));
  }
  return 0;
}
