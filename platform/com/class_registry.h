// The class registry: COM classes by ProgID and CLSID, and object creation from them.
//
// Every class here is an in-process server registered by our own code with RegisterComClass
// (there is no system registry). ProgIDs match without regard to case. Creation needs COM
// initialised on the calling thread (CO_E_NOTINITIALIZED otherwise) and a context that
// includes an in-process server; a class nobody registered gives REGDB_E_CLASSNOTREG.
#pragma once

#include <functional>
#include <string_view>

#include "platform/com/typeinfo.h"

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_INPROC_SERVER16 = 0x8;
inline constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
inline constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
inline constexpr DWORD CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
inline constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

// The shell's drag-image helper. Named for callers but never registered: this platform has no
// drag images, so creating it gives REGDB_E_CLASSNOTREG.
// {4657278A-411B-11D2-839A-00C04FD918D0}
inline constexpr CLSID CLSID_DragDropHelper{0x4657278A, 0x411B, 0x11D2, {0x83, 0x9A, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};

struct COSERVERINFO;

// CO_E_CLASSSTRING for a ProgID nobody registered.
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);
// The class's first registered ProgID in a CoTaskMemAlloc block; REGDB_E_CLASSNOTREG if none.
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, LPVOID* object);
// The class's IClassFactory (or IUnknown of it); serverInfo must be null.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, COSERVERINFO* serverInfo, REFIID riid, LPVOID* object);
// Puts an object into the running state; our in-process objects always are (S_OK).
HRESULT OleRun(IUnknown* object);

namespace quorlin::platform {

// Makes one new object with one reference, the caller's, in *object; a failure HRESULT
// otherwise (then *object stays null).
using ComClassFactory = std::function<HRESULT(IUnknown** object)>;

// Registers (or replaces) the class under a ProgID of ASCII text. One CLSID may carry several
// ProgIDs; ProgIDFromCLSID gives the first. E_INVALIDARG for an empty or non-ASCII ProgID or
// no factory.
HRESULT RegisterComClass(std::string_view progId, const CLSID& clsid, ComClassFactory factory);
// Removes the class and all its ProgIDs; false when it was not registered.
bool UnregisterComClass(const CLSID& clsid);

}  // namespace quorlin::platform
