#include "platform/com/com_base.h"

#include <cstdlib>
#include <string>

namespace quorlin::platform {
namespace {

// The calling thread's COM state.
struct ComThreadState {
  int initialisations = 0;
  DWORD model = 0;  // COINIT_APARTMENTTHREADED or COINIT_MULTITHREADED
  int oleInitialisations = 0;
};

thread_local ComThreadState t_com;

// Task allocations above this are refused rather than attempted.
constexpr SIZE_T MaxTaskAllocation = SIZE_T{1} << 31;

std::string NarrowGuidText(LPCOLESTR text) {
  std::string narrow;
  for (size_t i = 0; text[i] != 0 && i < 64; ++i) {
    narrow += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
  }
  return narrow;
}

}  // namespace

bool ComInitializedOnThisThread() { return t_com.initialisations > 0; }

}  // namespace quorlin::platform

using quorlin::platform::t_com;

HRESULT CoInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

HRESULT CoInitializeEx(LPVOID, DWORD coInit) {
  const DWORD model = coInit & COINIT_APARTMENTTHREADED;
  if (t_com.initialisations > 0) {
    if (t_com.model != model) return RPC_E_CHANGED_MODE;
    ++t_com.initialisations;
    return S_FALSE;
  }
  t_com.model = model;
  t_com.initialisations = 1;
  return S_OK;
}

void CoUninitialize() {
  if (t_com.initialisations > 0) --t_com.initialisations;
}

HRESULT OleInitialize(LPVOID reserved) {
  const HRESULT hr = CoInitializeEx(reserved, COINIT_APARTMENTTHREADED);
  if (FAILED(hr)) return hr;
  ++t_com.oleInitialisations;
  return hr;
}

void OleUninitialize() {
  if (t_com.oleInitialisations == 0) return;
  --t_com.oleInitialisations;
  CoUninitialize();
}

LPVOID CoTaskMemAlloc(SIZE_T size) {
  if (size > quorlin::platform::MaxTaskAllocation) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}

LPVOID CoTaskMemRealloc(LPVOID block, SIZE_T size) {
  if (size > quorlin::platform::MaxTaskAllocation) return nullptr;
  return std::realloc(block, size == 0 ? 1 : size);
}

void CoTaskMemFree(LPVOID block) { std::free(block); }

int StringFromGUID2(REFGUID guid, LPOLESTR text, int maxCount) {
  const std::string narrow = quorlin::platform::FormatGuid(guid);
  if (!text || maxCount < static_cast<int>(narrow.size()) + 1) return 0;
  for (size_t i = 0; i < narrow.size(); ++i) text[i] = static_cast<WCHAR>(narrow[i]);
  text[narrow.size()] = 0;
  return static_cast<int>(narrow.size()) + 1;
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
  if (!clsid) return E_INVALIDARG;
  if (!text) {
    *clsid = GUID_NULL;
    return S_OK;
  }
  const auto guid = quorlin::platform::ParseGuid(quorlin::platform::NarrowGuidText(text));
  if (!guid) return CO_E_CLASSSTRING;
  *clsid = *guid;
  return S_OK;
}

HRESULT IIDFromString(LPCOLESTR text, IID* iid) {
  const HRESULT hr = CLSIDFromString(text, iid);
  return hr == CO_E_CLASSSTRING ? E_INVALIDARG : hr;
}
