// There are no type-library files on this platform: every library "fails to load".
#include "platform/com/typeinfo.h"

HRESULT LoadTypeLibEx(LPCOLESTR file, REGKIND kind, ITypeLib** typeLib) {
  if (!typeLib) return E_POINTER;
  *typeLib = nullptr;
  if (!file || kind < REGKIND_DEFAULT || kind > REGKIND_NONE) return E_INVALIDARG;
  return TYPE_E_CANTLOADLIBRARY;
}

HRESULT LoadTypeLib(LPCOLESTR file, ITypeLib** typeLib) { return LoadTypeLibEx(file, REGKIND_DEFAULT, typeLib); }

HRESULT RegisterTypeLib(ITypeLib* typeLib, LPCOLESTR fullPath, LPCOLESTR) {
  if (!typeLib || !fullPath) return E_INVALIDARG;
  return TYPE_E_CANTLOADLIBRARY;
}
