#include "platform/com/ole_picture.h"

#include "platform/com/automation_class.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/icon.h"

namespace quorlin::platform {
namespace {

// {7BF80981-…} is the dispatch interface the picture's type information describes.
const AutomationClass& PictureClass() {
  static const AutomationClass picture{
      "Picture",
      IID_IPictureDisp,
      {
          {"Handle", DISPID_PICT_HANDLE, MemberKind::PropertyGet, VT_I4},
          {"hPal", DISPID_PICT_HPAL, MemberKind::PropertyGet, VT_I4},
          {"hPal", DISPID_PICT_HPAL, MemberKind::PropertyPut, VT_EMPTY, {{"hPal", VT_I4}}},
          {"Type", DISPID_PICT_TYPE, MemberKind::PropertyGet, VT_I2},
          {"Width", DISPID_PICT_WIDTH, MemberKind::PropertyGet, VT_I4},
          {"Height", DISPID_PICT_HEIGHT, MemberKind::PropertyGet, VT_I4},
          {"Render",
           DISPID_PICT_RENDER,
           MemberKind::Method,
           VT_EMPTY,
           {{"hdc", VT_I4},
            {"x", VT_I4},
            {"y", VT_I4},
            {"cx", VT_I4},
            {"cy", VT_I4},
            {"xSrc", VT_I4},
            {"ySrc", VT_I4},
            {"cxSrc", VT_I4},
            {"cySrc", VT_I4},
            {"prcWBounds", VT_VARIANT, PARAMFLAG_FIN | PARAMFLAG_FOPT}}},
      }};
  return picture;
}

constexpr int kHimetricPerInch = 2540;
constexpr int kPixelsPerInch = 96;

LONG PixelsToHimetric(LONG pixels) { return MulDiv(pixels, kHimetricPerInch, kPixelsPerInch); }
LONG HimetricToPixels(LONG himetric) { return MulDiv(himetric, kPixelsPerInch, kHimetricPerInch); }

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == 0 || GetObjectA(bitmap, sizeof(info), &info) == 0) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (icon == 0 || !GetIconInfo(icon, &info)) return {0, 0};
  SIZE size{0, 0};
  if (info.hbmColor != 0) {
    size = BitmapSize(info.hbmColor);
  } else {
    size = BitmapSize(info.hbmMask);
    size.cy /= 2;  // the mask holds the AND and XOR halves
  }
  if (info.hbmColor != 0) DeleteObject(info.hbmColor);
  if (info.hbmMask != 0) DeleteObject(info.hbmMask);
  return size;
}

class Picture final : public AutomationObject<IPicture> {
 public:
  Picture(const PICTDESC* desc, bool own) : AutomationObject(PictureClass()), own_(own) {
    if (!desc) return;
    type_ = static_cast<SHORT>(desc->picType);
    switch (type_) {
      case PICTYPE_BITMAP:
        handle_ = desc->bmp.hbitmap;
        palette_ = desc->bmp.hpal;
        break;
      case PICTYPE_ICON:
        handle_ = desc->icon.hicon;
        break;
      case PICTYPE_METAFILE:
        handle_ = desc->wmf.hmeta;
        width_ = desc->wmf.xExt;
        height_ = desc->wmf.yExt;
        break;
      case PICTYPE_ENHMETAFILE:
        handle_ = desc->emf.hemf;
        break;
      default:
        break;
    }
    MeasurePixels();
  }

  HRESULT STDMETHODCALLTYPE get_Handle(OLE_HANDLE* handle) override {
    if (!handle) return E_POINTER;
    *handle = handle_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_hPal(OLE_HANDLE* palette) override {
    if (!palette) return E_POINTER;
    *palette = palette_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Type(SHORT* type) override {
    if (!type) return E_POINTER;
    *type = type_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Width(OLE_XSIZE_HIMETRIC* width) override {
    if (!width) return E_POINTER;
    *width = width_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Height(OLE_YSIZE_HIMETRIC* height) override {
    if (!height) return E_POINTER;
    *height = height_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Render(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc,
                                   OLE_YPOS_HIMETRIC ySrc, OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc,
                                   LPCRECT) override {
    if (hdc == 0 || cx == 0 || cy == 0) return E_INVALIDARG;
    if (handle_ == 0) return S_OK;
    if (type_ == PICTYPE_ICON) {
      return DrawIconEx(hdc, x, y, handle_, cx, cy, 0, 0, DI_NORMAL) ? S_OK : E_FAIL;
    }
    if (type_ != PICTYPE_BITMAP) return E_NOTIMPL;
    // HIMETRIC source coordinates grow upwards from the picture's bottom edge.
    const SIZE pixels = BitmapSize(handle_);
    const int sourceX = HimetricToPixels(xSrc);
    const int sourceTop = pixels.cy - HimetricToPixels(ySrc);
    const int sourceWidth = HimetricToPixels(cxSrc);
    const int sourceHeight = -HimetricToPixels(cySrc);
    const HDC memory = CreateCompatibleDC(hdc);
    if (memory == 0) return E_FAIL;
    const HGDIOBJ old = SelectObject(memory, handle_);
    const BOOL drawn =
        StretchBlt(hdc, x, y, cx, cy, memory, sourceX, sourceTop, sourceWidth, sourceHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return drawn ? S_OK : E_FAIL;
  }

  HRESULT STDMETHODCALLTYPE set_hPal(OLE_HANDLE palette) override {
    if (type_ != PICTYPE_BITMAP) return E_FAIL;
    palette_ = palette;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_CurDC(HDC* hdc) override {
    if (!hdc) return E_POINTER;
    *hdc = currentDc_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SelectPicture(HDC hdcIn, HDC* hdcOut, OLE_HANDLE* bitmapOut) override {
    if (type_ != PICTYPE_BITMAP) return E_FAIL;
    if (hdcIn == 0) return E_INVALIDARG;
    SelectObject(hdcIn, handle_);
    if (hdcOut) *hdcOut = currentDc_;
    if (bitmapOut) *bitmapOut = handle_;
    currentDc_ = hdcIn;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_KeepOriginalFormat(BOOL* keep) override {
    if (!keep) return E_POINTER;
    *keep = keepOriginalFormat_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_KeepOriginalFormat(BOOL keep) override {
    keepOriginalFormat_ = keep ? TRUE : FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PictureChanged() override {
    MeasurePixels();
    return S_OK;
  }
  // No stream interface exists on this platform.
  HRESULT STDMETHODCALLTYPE SaveAsFile(IStream*, BOOL, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Attributes(DWORD* attributes) override {
    if (!attributes) return E_POINTER;
    switch (type_) {
      case PICTYPE_ICON:
        *attributes = PICTURE_TRANSPARENT;
        break;
      case PICTYPE_METAFILE:
      case PICTYPE_ENHMETAFILE:
        *attributes = PICTURE_SCALABLE | PICTURE_TRANSPARENT;
        break;
      default:
        *attributes = 0;
        break;
    }
    return S_OK;
  }

 private:
  ~Picture() override {
    if (!own_ || handle_ == 0) return;
    if (type_ == PICTYPE_BITMAP) DeleteObject(handle_);
    if (type_ == PICTYPE_ICON) DestroyIcon(handle_);
  }

  void MeasurePixels() {
    SIZE pixels{};
    if (type_ == PICTYPE_BITMAP) {
      pixels = BitmapSize(handle_);
    } else if (type_ == PICTYPE_ICON) {
      pixels = IconSize(handle_);
    } else {
      return;  // metafiles keep the extents they were given
    }
    width_ = PixelsToHimetric(pixels.cx);
    height_ = PixelsToHimetric(pixels.cy);
  }

  HRESULT InvokeMember(const MemberCall& call) override {
    VARIANT& result = *call.result;
    switch (call.id) {
      case DISPID_PICT_HANDLE:
        result.vt = VT_I4;
        result.lVal = static_cast<LONG>(handle_);
        return S_OK;
      case DISPID_PICT_HPAL:
        if (call.kind == MemberKind::PropertyPut) return set_hPal(static_cast<OLE_HANDLE>(call.arguments[0].lVal));
        result.vt = VT_I4;
        result.lVal = static_cast<LONG>(palette_);
        return S_OK;
      case DISPID_PICT_TYPE:
        result.vt = VT_I2;
        result.iVal = type_;
        return S_OK;
      case DISPID_PICT_WIDTH:
        result.vt = VT_I4;
        result.lVal = width_;
        return S_OK;
      case DISPID_PICT_HEIGHT:
        result.vt = VT_I4;
        result.lVal = height_;
        return S_OK;
      case DISPID_PICT_RENDER: {
        const std::span<VARIANT> a = call.arguments;
        return Render(static_cast<HDC>(a[0].lVal), a[1].lVal, a[2].lVal, a[3].lVal, a[4].lVal, a[5].lVal,
                      a[6].lVal, a[7].lVal, a[8].lVal, nullptr);
      }
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

  bool own_;
  SHORT type_ = PICTYPE_UNINITIALIZED;
  HANDLE handle_ = 0;
  HPALETTE palette_ = 0;
  LONG width_ = 0;
  LONG height_ = 0;
  HDC currentDc_ = 0;
  BOOL keepOriginalFormat_ = FALSE;
};

bool KnownPictureType(UINT type) {
  const auto signedType = static_cast<SHORT>(type);
  return static_cast<UINT>(static_cast<int>(signedType)) == type && signedType >= PICTYPE_UNINITIALIZED &&
         signedType <= PICTYPE_ENHMETAFILE;
}

}  // namespace
}  // namespace quorlin::platform

HRESULT OleCreatePictureIndirect(LPPICTDESC description, REFIID riid, BOOL own, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (description &&
      (description->cbSizeofstruct != sizeof(PICTDESC) || !quorlin::platform::KnownPictureType(description->picType))) {
    return E_INVALIDARG;
  }
  auto* picture = new quorlin::platform::Picture(description, own != FALSE);
  const HRESULT hr = static_cast<IPicture*>(picture)->QueryInterface(riid, object);
  static_cast<IPicture*>(picture)->Release();
  return hr;
}
