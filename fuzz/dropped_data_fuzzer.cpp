// What other programs drop on a drop target: the first byte chooses whether the rest is read
// as "HTML Format" text, as a file-drop list, or dropped whole in every format at once.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/com_ptr.h"
#include "platform/shell/drag_drop.h"
#include "platform/shell/global_memory.h"
#include "runtime/dragdrop/drop_target_object.h"
#include "runtime/dragdrop/dropped_data.h"

using namespace quorlin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t kind = data[0] % 3;
  ++data;
  --size;
  if (kind == 0) {
    dragdrop::HtmlBytesToSystemText(std::string_view(reinterpret_cast<const char*>(data), size));
  } else if (kind == 1) {
    const HGLOBAL drop = platform::GlobalFromBytes(data, size);
    dragdrop::PathsOfFileDropList(drop);
    GlobalFree(drop);
  } else {
    const std::vector<BYTE> bytes(data, data + size);
    platform::ExchangeData offered;
    offered.text = std::string(bytes.begin(), bytes.end());
    offered.custom = {{"HTML Format", bytes}, {"UniformResourceLocator", bytes}};
    const auto object = platform::ComPtr<IDataObject>::Adopt(platform::CreateExchangeDataObject(offered));
    size_t raised = 0;
    auto* target = new dragdrop::DropTargetObject({}, dragdrop::DropTargetObject::Mode::Run,
                                                  [&raised](int32_t, const std::string& text) { raised += text.size(); });
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(object.Get(), 0, POINTL{0, 0}, &effect);
    effect = DROPEFFECT_COPY;
    target->Drop(object.Get(), 0, POINTL{0, 0}, &effect);
    target->Close();
    target->Release();
  }
  return 0;
}
