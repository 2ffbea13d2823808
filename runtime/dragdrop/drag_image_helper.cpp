#include "runtime/dragdrop/drag_image_helper.h"

#include "platform/com/class_registry.h"

namespace quorlin::dragdrop {

IUnknown* CreateDragImageHelper() {
  void* helper = nullptr;
  if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &helper))) {
    return nullptr;
  }
  return static_cast<IUnknown*>(helper);
}

}  // namespace quorlin::dragdrop
