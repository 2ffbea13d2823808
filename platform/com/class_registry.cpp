#include "platform/com/class_registry.h"

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com/com_object.h"

namespace quorlin::platform {
namespace {

struct RegisteredClass {
  CLSID clsid;
  ComClassFactory factory;
  std::vector<std::string> progIds;  // in registration order
};

struct ClassRegistry {
  std::mutex mutex;
  std::vector<RegisteredClass> classes;
};

ClassRegistry& Registry() {
  static ClassRegistry registry;
  return registry;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

bool IsAsciiProgId(std::string_view progId) {
  if (progId.empty()) return false;
  for (char c : progId) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x21 || byte > 0x7E) return false;
  }
  return true;
}

// A ProgID of UTF-16 text as ASCII; empty when it is not ASCII or too long to be one.
std::string NarrowProgId(LPCOLESTR progId) {
  constexpr size_t kMaxProgId = 255;
  std::string narrow;
  for (size_t i = 0; progId[i] != 0; ++i) {
    if (i == kMaxProgId || progId[i] < 0x21 || progId[i] > 0x7E) return {};
    narrow += static_cast<char>(progId[i]);
  }
  return narrow;
}

// The class's factory, copied so that it runs outside the lock.
bool FindFactory(REFCLSID clsid, ComClassFactory& factory) {
  ClassRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  for (const RegisteredClass& entry : registry.classes) {
    if (entry.clsid == clsid) {
      factory = entry.factory;
      return true;
    }
  }
  return false;
}

HRESULT MakeObject(const ComClassFactory& factory, IUnknown* outer, REFIID riid, void** object) {
  if (outer) return CLASS_E_NOAGGREGATION;
  IUnknown* made = nullptr;
  HRESULT hr = factory(&made);
  if (FAILED(hr)) {
    if (made) made->Release();
    return hr;
  }
  if (!made) return E_OUTOFMEMORY;
  hr = made->QueryInterface(riid, object);
  made->Release();
  return hr;
}

class ClassFactory final : public ComObject<IClassFactory> {
 public:
  explicit ClassFactory(ComClassFactory factory) : factory_(std::move(factory)) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    return MakeObject(factory_, outer, riid, object);
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  ComClassFactory factory_;
};

// Our servers are all in-process; a context without the in-process server finds none.
constexpr DWORD kInProcessContexts = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_INPROC_SERVER16;

}  // namespace

HRESULT RegisterComClass(std::string_view progId, const CLSID& clsid, ComClassFactory factory) {
  if (!IsAsciiProgId(progId) || !factory) return E_INVALIDARG;
  ClassRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  // A ProgID names one class: taken from whichever class held it.
  for (RegisteredClass& entry : registry.classes) {
    std::erase_if(entry.progIds, [&](const std::string& held) { return EqualIgnoringAsciiCase(held, progId); });
  }
  for (RegisteredClass& entry : registry.classes) {
    if (entry.clsid == clsid) {
      entry.factory = std::move(factory);
      entry.progIds.emplace_back(progId);
      return S_OK;
    }
  }
  registry.classes.push_back(RegisteredClass{clsid, std::move(factory), {std::string(progId)}});
  return S_OK;
}

bool UnregisterComClass(const CLSID& clsid) {
  ClassRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  return std::erase_if(registry.classes, [&](const RegisteredClass& entry) { return entry.clsid == clsid; }) != 0;
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid) {
  if (!progId || !clsid) return E_INVALIDARG;
  const std::string narrow = NarrowProgId(progId);
  if (!narrow.empty()) {
    ClassRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    for (const RegisteredClass& entry : registry.classes) {
      for (const std::string& held : entry.progIds) {
        if (EqualIgnoringAsciiCase(held, narrow)) {
          *clsid = entry.clsid;
          return S_OK;
        }
      }
    }
  }
  *clsid = GUID_NULL;
  return CO_E_CLASSSTRING;
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId) {
  if (!progId) return E_INVALIDARG;
  *progId = nullptr;
  std::string found;
  {
    ClassRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    for (const RegisteredClass& entry : registry.classes) {
      if (entry.clsid == clsid && !entry.progIds.empty()) {
        found = entry.progIds.front();
        break;
      }
    }
  }
  if (found.empty()) return REGDB_E_CLASSNOTREG;
  auto* text = static_cast<LPOLESTR>(CoTaskMemAlloc((found.size() + 1) * sizeof(OLECHAR)));
  if (!text) return E_OUTOFMEMORY;
  for (size_t i = 0; i < found.size(); ++i) text[i] = static_cast<OLECHAR>(found[i]);
  text[found.size()] = 0;
  *progId = text;
  return S_OK;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!ComInitializedOnThisThread()) return CO_E_NOTINITIALIZED;
  ComClassFactory factory;
  if (!(context & kInProcessContexts) || !FindFactory(clsid, factory)) return REGDB_E_CLASSNOTREG;
  return MakeObject(factory, outer, riid, object);
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, COSERVERINFO* serverInfo, REFIID riid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (serverInfo) return E_INVALIDARG;
  if (!ComInitializedOnThisThread()) return CO_E_NOTINITIALIZED;
  ComClassFactory factory;
  if (!(context & kInProcessContexts) || !FindFactory(clsid, factory)) return REGDB_E_CLASSNOTREG;
  IClassFactory* classFactory = new ClassFactory(std::move(factory));
  const HRESULT hr = classFactory->QueryInterface(riid, object);
  classFactory->Release();
  return hr;
}

HRESULT OleRun(IUnknown* object) { return object ? S_OK : E_POINTER; }
