// The base of our COM objects: a thread-safe reference count and QueryInterface over the
// interfaces the object lists.
//
//   class Picture final : public ComObject<IPicture, IDispatch> { … };
//   IPicture* p = new Picture(…);   // born with one reference, the creator's
//
// QueryInterface answers IID_IUnknown (always the first interface, the object's identity) and
// each listed interface's kIid; an object that answers more overrides QueryInterfaceMore.
#pragma once

#include <atomic>

#include "platform/com/com_base.h"

namespace quorlin::platform {

template <typename First, typename... Rest>
class ComObject : public First, public Rest... {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown) {
      *object = static_cast<IUnknown*>(static_cast<First*>(this));
    } else if (!Find<First, Rest...>(riid, object) && !QueryInterfaceMore(riid, object)) {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }

  ULONG STDMETHODCALLTYPE AddRef() override { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;
  // Sets *object (without adding a reference) for a further interface; false if none.
  virtual bool QueryInterfaceMore(REFIID, void**) { return false; }

 private:
  template <typename I, typename... More>
  bool Find(REFIID riid, void** object) {
    if (riid == I::kIid) {
      *object = static_cast<I*>(this);
      return true;
    }
    if constexpr (sizeof...(More) > 0) {
      return Find<More...>(riid, object);
    } else {
      return false;
    }
  }

  std::atomic<ULONG> references_{1};
};

}  // namespace quorlin::platform
