#include "platform/com/ole_picture.h"

#include <gtest/gtest.h>

#include "platform/com/com_ptr.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/icon.h"

namespace {

using quorlin::platform::ComPtr;
using quorlin::platform::Variant;

bool BitmapAlive(HBITMAP bitmap) {
  BITMAP info{};
  return GetObjectA(bitmap, sizeof(info), &info) != 0;
}

PICTDESC BitmapDescription(HBITMAP bitmap) {
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof(PICTDESC);
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = bitmap;
  return desc;
}

ComPtr<IPicture> MakePicture(PICTDESC* desc, BOOL own) {
  ComPtr<IPicture> picture;
  EXPECT_EQ(OleCreatePictureIndirect(desc, IID_IPicture, own, reinterpret_cast<void**>(picture.Receive())), S_OK);
  return picture;
}

// A property read by late binding, as the runtime's object commands do it.
HRESULT ReadProperty(IUnknown* object, const char16_t* name, VARIANT* value) {
  ComPtr<IDispatch> dispatch;
  HRESULT hr = object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive()));
  if (FAILED(hr)) return hr;
  ComPtr<ITypeInfo> typeInfo;
  ComPtr<ITypeComp> typeComp;
  if (FAILED(hr = dispatch->GetTypeInfo(0, GetUserDefaultLCID(), typeInfo.Receive()))) return hr;
  if (FAILED(hr = typeInfo->GetTypeComp(typeComp.Receive()))) return hr;
  ComPtr<ITypeInfo> bound;
  DESCKIND kind{};
  BINDPTR pointer{};
  const ULONG hash = LHashValOfNameSys(SYS_WIN32, GetUserDefaultLCID(), name);
  hr = typeComp->Bind(const_cast<LPOLESTR>(name), hash, INVOKE_PROPERTYGET, bound.Receive(), &kind, &pointer);
  if (FAILED(hr)) return hr;
  if (kind != DESCKIND_FUNCDESC) return DISP_E_MEMBERNOTFOUND;
  const MEMBERID id = pointer.lpfuncdesc->memid;
  const auto flags = static_cast<WORD>(pointer.lpfuncdesc->invkind);
  bound->ReleaseFuncDesc(pointer.lpfuncdesc);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  return dispatch->Invoke(id, IID_NULL, GetUserDefaultLCID(), flags, &none, value, nullptr, nullptr);
}

TEST(OlePicture, AnOwningPictureDestroysItsBitmapWithItsLastReference) {
  const HBITMAP bitmap = CreateBitmap(10, 20, 1, 32, nullptr);
  ASSERT_NE(bitmap, 0u);
  PICTDESC desc = BitmapDescription(bitmap);
  ComPtr<IPicture> picture = MakePicture(&desc, TRUE);
  ComPtr<IUnknown> second;
  ASSERT_EQ(picture.As(second), S_OK);
  picture.Reset();
  EXPECT_TRUE(BitmapAlive(bitmap)) << "a reference is left";
  second.Reset();
  EXPECT_FALSE(BitmapAlive(bitmap));
}

TEST(OlePicture, APictureNotOwningItsBitmapLeavesIt) {
  const HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  PICTDESC desc = BitmapDescription(bitmap);
  MakePicture(&desc, FALSE).Reset();
  EXPECT_TRUE(BitmapAlive(bitmap));
  DeleteObject(bitmap);
}

TEST(OlePicture, ReportsHandleTypeAndSizeInHimetric) {
  const HBITMAP bitmap = CreateBitmap(10, 20, 1, 32, nullptr);
  PICTDESC desc = BitmapDescription(bitmap);
  desc.bmp.hpal = 0;
  ComPtr<IPicture> picture = MakePicture(&desc, TRUE);
  OLE_HANDLE handle = 0;
  SHORT type = 0;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  DWORD attributes = 9;
  EXPECT_EQ(picture->get_Handle(&handle), S_OK);
  EXPECT_EQ(handle, bitmap);
  EXPECT_EQ(picture->get_Type(&type), S_OK);
  EXPECT_EQ(type, PICTYPE_BITMAP);
  EXPECT_EQ(picture->get_Width(&width), S_OK);
  EXPECT_EQ(width, 265) << "10 px at 96 per inch";
  EXPECT_EQ(picture->get_Height(&height), S_OK);
  EXPECT_EQ(height, 529);
  EXPECT_EQ(picture->get_Attributes(&attributes), S_OK);
  EXPECT_EQ(attributes, 0u);

  struct Row {
    const char16_t* name;
    VARTYPE vt;
    LONG value;
  };
  const Row rows[] = {
      {u"Handle", VT_I4, static_cast<LONG>(bitmap)}, {u"handle", VT_I4, static_cast<LONG>(bitmap)},
      {u"TYPE", VT_I2, PICTYPE_BITMAP},              {u"Width", VT_I4, 265},
      {u"Height", VT_I4, 529},                       {u"hPal", VT_I4, 0},
  };
  for (const Row& row : rows) {
    Variant value;
    ASSERT_EQ(ReadProperty(picture.Get(), row.name, value.get()), S_OK);
    EXPECT_EQ(value->vt, row.vt);
    EXPECT_EQ(row.vt == VT_I2 ? value->iVal : value->lVal, row.value);
  }
  Variant absent;
  EXPECT_EQ(ReadProperty(picture.Get(), u"Bits", absent.get()), DISP_E_MEMBERNOTFOUND);
}

TEST(OlePicture, AnswersItsInterfaces) {
  PICTDESC desc{sizeof(PICTDESC), static_cast<UINT>(PICTYPE_UNINITIALIZED), {}};
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(dispatch.Receive())),
            S_OK);
  ComPtr<IPicture> picture;
  ASSERT_EQ(dispatch.As(picture), S_OK);
  OLE_HANDLE handle = 5;
  EXPECT_EQ(picture->get_Handle(&handle), S_OK);
  EXPECT_EQ(handle, 0u) << "an empty picture";
  Variant value;
  ASSERT_EQ(ReadProperty(picture.Get(), u"Handle", value.get()), S_OK);
  EXPECT_EQ(value->lVal, 0);

  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(OleCreatePictureIndirect(nullptr, IID_IUnknown, FALSE, &object), S_OK) << "no description: empty";
  static_cast<IUnknown*>(object)->Release();
  EXPECT_EQ(OleCreatePictureIndirect(&desc, IID_ITypeLib, FALSE, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(OleCreatePictureIndirect(&desc, IID_IPicture, FALSE, nullptr), E_POINTER);
}

TEST(OlePicture, RefusesBadDescriptions) {
  const HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
  PICTDESC desc = BitmapDescription(bitmap);
  void* object = nullptr;
  desc.cbSizeofstruct = 24;  // the layout of 64-bit handles is not ours
  EXPECT_EQ(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, &object), E_INVALIDARG);
  desc.cbSizeofstruct = sizeof(PICTDESC);
  desc.picType = 9;
  EXPECT_EQ(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, &object), E_INVALIDARG);
  EXPECT_EQ(object, nullptr);
  EXPECT_TRUE(BitmapAlive(bitmap)) << "a refused description leaves the handle to its caller";
  DeleteObject(bitmap);
}

TEST(OlePicture, AnOwningIconPictureDestroysItsIcon) {
  const HBITMAP colour = CreateBitmap(16, 16, 1, 32, nullptr);
  const HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, colour};
  const HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  ASSERT_NE(icon, 0u);
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof(PICTDESC);
  desc.picType = PICTYPE_ICON;
  desc.icon.hicon = icon;
  ComPtr<IPicture> picture = MakePicture(&desc, TRUE);
  OLE_XSIZE_HIMETRIC width = 0;
  DWORD attributes = 0;
  picture->get_Width(&width);
  picture->get_Attributes(&attributes);
  EXPECT_EQ(width, 423);
  EXPECT_EQ(attributes, PICTURE_TRANSPARENT);
  picture.Reset();
  ICONINFO after{};
  EXPECT_FALSE(GetIconInfo(icon, &after));
}

TEST(OlePicture, RendersTheBitmapUpright) {
  // 2 × 2: top row red, bottom row blue.
  const BYTE pixels[] = {0, 0, 255, 0, 0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0};
  const HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, pixels);
  PICTDESC desc = BitmapDescription(bitmap);
  ComPtr<IPicture> picture = MakePicture(&desc, TRUE);
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);

  const HDC dc = CreateCompatibleDC(0);
  const HBITMAP target = CreateBitmap(4, 4, 1, 32, nullptr);
  const HGDIOBJ old = SelectObject(dc, target);
  ASSERT_EQ(picture->Render(dc, 0, 0, 4, 4, 0, height, width, -height, nullptr), S_OK);
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0, 0, 255));
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
}

}  // namespace
