// OLE drag and drop: drop targets registered per window, data objects, and file-drop lists.
//
// A drag (from another program through the shell backend, or injected by code when headless)
// goes to the drop target registered for the window under the pointer, or for its nearest
// ancestor that has one: DragEnter, DragOver while the pointer moves, then DragLeave or Drop.
// The target methods run on the thread that delivers the drag (the window thread).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/base/win_types.h"
#include "platform/com/com_base.h"
#include "platform/shell/shell_backend.h"
#include "platform/user/messages.h"

using CLIPFORMAT = WORD;
using HDROP = HANDLE;

struct POINTL {
  LONG x;
  LONG y;
};

struct DVTARGETDEVICE;
struct IStream;
struct IStorage;
struct IAdviseSink;
struct IEnumSTATDATA;

inline constexpr DWORD DVASPECT_CONTENT = 1;
inline constexpr DWORD DVASPECT_THUMBNAIL = 2;
inline constexpr DWORD DVASPECT_ICON = 4;
inline constexpr DWORD DVASPECT_DOCPRINT = 8;

inline constexpr DWORD TYMED_NULL = 0;
inline constexpr DWORD TYMED_HGLOBAL = 1;
inline constexpr DWORD TYMED_FILE = 2;
inline constexpr DWORD TYMED_ISTREAM = 4;
inline constexpr DWORD TYMED_ISTORAGE = 8;
inline constexpr DWORD TYMED_GDI = 16;
inline constexpr DWORD TYMED_MFPICT = 32;
inline constexpr DWORD TYMED_ENHMF = 64;

struct FORMATETC {
  CLIPFORMAT cfFormat;
  DVTARGETDEVICE* ptd;
  DWORD dwAspect;
  LONG lindex;
  DWORD tymed;
};

struct STGMEDIUM {
  DWORD tymed;
  union {
    HBITMAP hBitmap;
    HGLOBAL hGlobal;
    LPOLESTR lpszFileName;
    IStream* pstm;
    IStorage* pstg;
  };
  IUnknown* pUnkForRelease;
};

// Frees the medium's content (GlobalFree, DeleteObject, CoTaskMemFree of the name, Release),
// or, when pUnkForRelease is set, releases that instead.
void ReleaseStgMedium(STGMEDIUM* medium);

inline constexpr DWORD DROPEFFECT_NONE = 0;
inline constexpr DWORD DROPEFFECT_COPY = 1;
inline constexpr DWORD DROPEFFECT_MOVE = 2;
inline constexpr DWORD DROPEFFECT_LINK = 4;
inline constexpr DWORD DROPEFFECT_SCROLL = 0x80000000u;

// Key states are the MK_* bits of mouse messages (platform/user/messages.h).

inline constexpr HRESULT DV_E_FORMATETC = MakeHresult(0x80040064);
inline constexpr HRESULT DV_E_TYMED = MakeHresult(0x80040069);
inline constexpr HRESULT DV_E_LINDEX = MakeHresult(0x80040068);
inline constexpr HRESULT DV_E_DVASPECT = MakeHresult(0x8004006B);
inline constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = MakeHresult(0x80040003);
inline constexpr HRESULT DATA_S_SAMEFORMATETC = MakeHresult(0x00040130);
inline constexpr HRESULT DRAGDROP_E_NOTREGISTERED = MakeHresult(0x80040100);
inline constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = MakeHresult(0x80040101);
inline constexpr HRESULT DRAGDROP_E_INVALIDHWND = MakeHresult(0x80040102);
inline constexpr HRESULT DRAGDROP_S_DROP = MakeHresult(0x00040100);
inline constexpr HRESULT DRAGDROP_S_CANCEL = MakeHresult(0x00040101);

// {00000103-0000-0000-C000-000000000046}
inline constexpr IID IID_IEnumFORMATETC{0x00000103, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {0000010E-0000-0000-C000-000000000046}
inline constexpr IID IID_IDataObject{0x0000010E, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000122-0000-0000-C000-000000000046}
inline constexpr IID IID_IDropTarget{0x00000122, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {4657278B-411B-11D2-839A-00C04FD918D0}
inline constexpr IID IID_IDropTargetHelper{0x4657278B, 0x411B, 0x11D2, {0x83, 0x9A, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};
// The helper's class, CLSID_DragDropHelper, is named in platform/com/class_registry.h.

struct IEnumFORMATETC : IUnknown {
  static constexpr const IID& kIid = IID_IEnumFORMATETC;
  virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) = 0;
  virtual HRESULT STDMETHODCALLTYPE Skip(ULONG count) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** copy) = 0;

 protected:
  ~IEnumFORMATETC() = default;
};

inline constexpr DWORD DATADIR_GET = 1;
inline constexpr DWORD DATADIR_SET = 2;

struct IDataObject : IUnknown {
  static constexpr const IID& kIid = IID_IDataObject;
  // The caller owns the medium and frees it with ReleaseStgMedium.
  virtual HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) = 0;
  // S_OK when GetData would give the format.
  virtual HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) = 0;
  virtual HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) = 0;
  virtual HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advise) = 0;

 protected:
  ~IDataObject() = default;
};

struct IDropTarget : IUnknown {
  static constexpr const IID& kIid = IID_IDropTarget;
  // pt is in screen coordinates; *effect holds the allowed effects on entry, the chosen on return.
  virtual HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) = 0;
  virtual HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) = 0;
  virtual HRESULT STDMETHODCALLTYPE DragLeave() = 0;
  virtual HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) = 0;

 protected:
  ~IDropTarget() = default;
};

struct IDropTargetHelper : IUnknown {
  static constexpr const IID& kIid = IID_IDropTargetHelper;
  virtual HRESULT STDMETHODCALLTYPE DragEnter(HWND target, IDataObject* data, POINT* pt, DWORD effect) = 0;
  virtual HRESULT STDMETHODCALLTYPE DragLeave() = 0;
  virtual HRESULT STDMETHODCALLTYPE DragOver(POINT* pt, DWORD effect) = 0;
  virtual HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, POINT* pt, DWORD effect) = 0;
  virtual HRESULT STDMETHODCALLTYPE Show(BOOL show) = 0;

 protected:
  ~IDropTargetHelper() = default;
};

// Holds a reference to the target until RevokeDragDrop (or the window's end). E_OUTOFMEMORY
// when OLE is not initialised on the calling thread, DRAGDROP_E_INVALIDHWND for a dead window,
// E_INVALIDARG for a null target, DRAGDROP_E_ALREADYREGISTERED when the window has one.
HRESULT RegisterDragDrop(HWND hwnd, IDropTarget* target);
// DRAGDROP_E_NOTREGISTERED when the window has no target.
HRESULT RevokeDragDrop(HWND hwnd);

// The file-drop list (CF_HDROP): a DROPFILES header, then the paths, each NUL-terminated, and
// one more NUL; ANSI or wide characters by fWide.
struct DROPFILES {
  DWORD pFiles;  // offset of the list from the start of the block
  POINT pt;      // the drop point, client coordinates of the target window
  BOOL fNC;      // the point lies in the non-client area
  BOOL fWide;
};

// file 0xFFFFFFFF: the number of files. A null buffer: the length of that path without the
// NUL. Otherwise copies at most size - 1 bytes and a NUL, not splitting a double-byte character,
// and returns the bytes copied. 0 for a bad handle, index or a malformed list.
UINT DragQueryFileA(HDROP drop, UINT file, LPSTR buffer, UINT size);
// TRUE when the drop point is in the client area.
BOOL DragQueryPoint(HDROP drop, POINT* point);
void DragFinish(HDROP drop);

namespace quorlin::platform {

// Every path of a CF_HDROP block (system code page) in one pass over it, which DragQueryFileA
// makes per file; nothing for a malformed block.
std::optional<std::vector<std::string>> FileDropListPaths(HDROP drop);

// A CF_HDROP block of the paths (system code page), ANSI; null when out of memory.
HGLOBAL MakeFileDropList(const std::vector<std::string>& paths, POINT point = {0, 0});

// A data object of ours offering the data: CF_TEXT, CF_OEMTEXT and CF_UNICODETEXT for text,
// CF_HDROP for files, CF_DIB for a picture, and each custom format under its registered id
// ("HTML Format", "UniformResourceLocator" …), all as TYMED_HGLOBAL. Texts are UTF-8 in the
// data, as the shell backend exchanges them. One reference, the caller's.
IDataObject* CreateExchangeDataObject(const ExchangeData& data);

// The drop target registered for the window or its nearest ancestor; its window in *window.
// A reference for the caller, or null.
IDropTarget* FindDropTarget(HWND hwnd, HWND* window = nullptr);

}  // namespace quorlin::platform
