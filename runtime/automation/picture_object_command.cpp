// ObjectFromPicture: a picture object made from the bytes of a picture file.
#include "graphics/pictures/drawable_picture.h"
#include "platform/com/com_ptr.h"
#include "platform/com/ole_picture.h"
#include "platform/gdi/gdi.h"
#include "runtime/automation/automation_commands.h"
#include "runtime/automation/object_variables.h"
#include "runtime/automation/command_values.h"
#include "runtime/kernel/command.h"

namespace quorlin::automation {

void ObjectFromPictureCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  *result = MakeBoolean(false);
  ObjectRecord* record = ObjectVariableOf(ArgumentAt(argCount, args, 0));
  if (!record) return;

  PICTDESC description{};
  description.cbSizeofstruct = sizeof(PICTDESC);
  description.picType = static_cast<UINT>(PICTYPE_UNINITIALIZED);
  const std::string_view bytes = ByteSetArgument(ArgumentAt(argCount, args, 1));
  HBITMAP bitmap = 0;
  if (!bytes.empty()) {
    bitmap = pictures::PictureToBitmapHandle(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (bitmap) {
      description.picType = PICTYPE_BITMAP;
      description.bmp.hbitmap = bitmap;
      description.bmp.hpal = 0;
    }
  }

  // Once the picture exists it owns the bitmap; before that, the bitmap is ours to delete.
  IPicture* picture = nullptr;
  if (FAILED(OleCreatePictureIndirect(&description, IID_IPicture, TRUE, reinterpret_cast<LPVOID*>(&picture))) ||
      !picture) {
    if (bitmap) DeleteObject(bitmap);
    return;
  }
  IUnknown* object = nullptr;
  const HRESULT hr = picture->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&object));
  picture->Release();
  if (FAILED(hr) || !object) return;

  StoreObject(*record, object);
  *result = MakeBoolean(true);
}

}  // namespace quorlin::automation
