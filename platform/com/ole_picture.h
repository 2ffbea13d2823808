// Picture objects: IPicture over a bitmap or icon handle, also an automation object whose
// properties "Handle", "hPal", "Type", "Width" and "Height" are read by late binding.
//
// Sizes are in HIMETRIC (0.01 mm) at 96 pixels per inch: MulDiv(pixels, 2540, 96). A picture
// made owning its handle destroys it (DeleteObject, DestroyIcon) when its last reference goes;
// the palette is never destroyed. A null or PICTYPE_UNINITIALIZED description gives an empty
// picture (Handle 0, size 0).
#pragma once

#include "platform/com/typeinfo.h"

struct IStream;

using HMETAFILE = HANDLE;
using HENHMETAFILE = HANDLE;
using OLE_HANDLE = UINT;
using OLE_XPOS_HIMETRIC = LONG;
using OLE_YPOS_HIMETRIC = LONG;
using OLE_XSIZE_HIMETRIC = LONG;
using OLE_YSIZE_HIMETRIC = LONG;

inline constexpr SHORT PICTYPE_UNINITIALIZED = -1;
inline constexpr SHORT PICTYPE_NONE = 0;
inline constexpr SHORT PICTYPE_BITMAP = 1;
inline constexpr SHORT PICTYPE_METAFILE = 2;
inline constexpr SHORT PICTYPE_ICON = 3;
inline constexpr SHORT PICTYPE_ENHMETAFILE = 4;

inline constexpr DWORD PICTURE_SCALABLE = 0x1;
inline constexpr DWORD PICTURE_TRANSPARENT = 0x2;

inline constexpr DISPID DISPID_PICT_HANDLE = 0;
inline constexpr DISPID DISPID_PICT_HPAL = 2;
inline constexpr DISPID DISPID_PICT_TYPE = 3;
inline constexpr DISPID DISPID_PICT_WIDTH = 4;
inline constexpr DISPID DISPID_PICT_HEIGHT = 5;
inline constexpr DISPID DISPID_PICT_RENDER = 6;

struct PICTDESC {
  UINT cbSizeofstruct;  // sizeof(PICTDESC)
  UINT picType;         // PICTYPE_*
  union {
    struct {
      HBITMAP hbitmap;
      HPALETTE hpal;
    } bmp;
    struct {
      HMETAFILE hmeta;
      int xExt;  // HIMETRIC
      int yExt;
    } wmf;
    struct {
      HICON hicon;
    } icon;
    struct {
      HENHMETAFILE hemf;
    } emf;
  };
};
static_assert(sizeof(PICTDESC) == 20, "handles are 32-bit on this platform");
using LPPICTDESC = PICTDESC*;

// {7BF80980-BF32-101A-8BBB-00AA00300CAB}
inline constexpr IID IID_IPicture{0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};
// {7BF80981-BF32-101A-8BBB-00AA00300CAB}
inline constexpr IID IID_IPictureDisp{0x7BF80981, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

struct IPicture : IUnknown {
  static constexpr const IID& kIid = IID_IPicture;
  virtual HRESULT STDMETHODCALLTYPE get_Handle(OLE_HANDLE* handle) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_hPal(OLE_HANDLE* palette) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Type(SHORT* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Width(OLE_XSIZE_HIMETRIC* width) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Height(OLE_YSIZE_HIMETRIC* height) = 0;
  // The source rectangle is in HIMETRIC with y growing upwards (ySrc = height, cySrc negative
  // for the whole picture the right way up).
  virtual HRESULT STDMETHODCALLTYPE Render(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc,
                                           OLE_YPOS_HIMETRIC ySrc, OLE_XSIZE_HIMETRIC cxSrc,
                                           OLE_YSIZE_HIMETRIC cySrc, LPCRECT metafileBounds) = 0;
  virtual HRESULT STDMETHODCALLTYPE set_hPal(OLE_HANDLE palette) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CurDC(HDC* hdc) = 0;
  virtual HRESULT STDMETHODCALLTYPE SelectPicture(HDC hdcIn, HDC* hdcOut, OLE_HANDLE* bitmapOut) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_KeepOriginalFormat(BOOL* keep) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_KeepOriginalFormat(BOOL keep) = 0;
  virtual HRESULT STDMETHODCALLTYPE PictureChanged() = 0;
  virtual HRESULT STDMETHODCALLTYPE SaveAsFile(IStream* stream, BOOL saveMemCopy, LONG* size) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Attributes(DWORD* attributes) = 0;

 protected:
  ~IPicture() = default;
};
using LPPICTURE = IPicture*;

// A dispatch interface: IDispatch under its own IID.
struct IPictureDisp : IDispatch {
  static constexpr const IID& kIid = IID_IPictureDisp;

 protected:
  ~IPictureDisp() = default;
};

// riid: IID_IPicture, IID_IPictureDisp, IID_IDispatch or IID_IUnknown. E_INVALIDARG for a
// description of the wrong size or an unknown type.
HRESULT OleCreatePictureIndirect(LPPICTDESC description, REFIID riid, BOOL own, LPVOID* object);
