// VARIANT initialisation, clearing and copying. A VARIANT owns its BSTR, its safe array, its
// interface reference and its record (created by the record's IRecordInfo); a VT_BYREF variant
// owns nothing.
#include <cstring>

#include "platform/com/oleauto.h"
#include "platform/com/typeinfo.h"
#include "platform/com/variant_types.h"

namespace quorlin::platform {

bool IsValidVariantType(VARTYPE type) {
  if (type & (VT_VECTOR | VT_RESERVED)) return false;
  const VARTYPE base = type & VT_TYPEMASK;
  const bool byRef = (type & VT_BYREF) != 0;
  const bool array = (type & VT_ARRAY) != 0;
  switch (base) {
    case VT_EMPTY:
    case VT_NULL: return !byRef && !array;
    case VT_VARIANT: return byRef || array;
    case VT_RECORD: return !array;
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_DECIMAL:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_INT_PTR:
    case VT_UINT_PTR: return true;
    default: return false;
  }
}

size_t ScalarValueSize(VARTYPE base) {
  switch (base) {
    case VT_I1:
    case VT_UI1: return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR: return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_INT_PTR:
    case VT_UINT_PTR: return 8;
    default: return 0;
  }
}

BSTR CopyBstrBytes(BSTR source) {
  if (!source) return nullptr;
  return SysAllocStringByteLen(reinterpret_cast<LPCSTR>(source), SysStringByteLen(source));
}

}  // namespace quorlin::platform

namespace {

using quorlin::platform::CopyBstrBytes;
using quorlin::platform::IsValidVariantType;
using quorlin::platform::ScalarValueSize;

void SetEmpty(VARIANT* variant) { std::memset(variant, 0, sizeof(VARIANT)); }

// The value of a by-value source written into an empty destination.
HRESULT CopyValue(VARIANT* destination, const VARIANT* source) {
  const VARTYPE type = source->vt;
  std::memcpy(destination, source, sizeof(VARIANT));
  if (type & VT_BYREF) return S_OK;
  if (type & VT_ARRAY) {
    destination->parray = nullptr;
    const HRESULT hr = SafeArrayCopy(source->parray, &destination->parray);
    if (FAILED(hr)) SetEmpty(destination);
    return hr;
  }
  switch (type) {
    case VT_BSTR:
      destination->bstrVal = CopyBstrBytes(source->bstrVal);
      if (source->bstrVal && !destination->bstrVal) {
        SetEmpty(destination);
        return E_OUTOFMEMORY;
      }
      return S_OK;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      if (destination->punkVal) destination->punkVal->AddRef();
      return S_OK;
    case VT_RECORD: {
      destination->pvRecord = nullptr;
      if (!source->pRecInfo) return source->pvRecord ? E_INVALIDARG : S_OK;
      if (source->pvRecord) {
        const HRESULT hr = source->pRecInfo->RecordCreateCopy(source->pvRecord, &destination->pvRecord);
        if (FAILED(hr)) {
          SetEmpty(destination);
          return hr;
        }
      }
      source->pRecInfo->AddRef();
      return S_OK;
    }
    default: return S_OK;
  }
}

// The value a VT_BYREF source points at, as a by-value VARIANT in an empty destination.
HRESULT CopyReferencedValue(VARIANT* destination, const VARIANT* source) {
  const VARTYPE type = source->vt & ~VT_BYREF;
  if (!source->byref) return E_INVALIDARG;
  if (type == VT_VARIANT) {
    const VARIANT* inner = source->pvarVal;
    if (inner->vt == (VT_BYREF | VT_VARIANT)) return E_INVALIDARG;
    return VariantCopyInd(destination, inner);
  }
  VARIANT value;
  SetEmpty(&value);
  value.vt = type;
  if (type & VT_ARRAY) {
    value.parray = *source->pparray;
  } else if (type == VT_DECIMAL) {
    std::memcpy(&value.decVal, source->pdecVal, sizeof(DECIMAL));
    value.vt = VT_DECIMAL;
  } else if (type == VT_RECORD) {
    value.pvRecord = source->pvRecord;
    value.pRecInfo = source->pRecInfo;
  } else if (type == VT_BSTR) {
    value.bstrVal = *source->pbstrVal;
  } else if (type == VT_UNKNOWN || type == VT_DISPATCH) {
    value.punkVal = *source->ppunkVal;
  } else {
    std::memcpy(&value.llVal, source->byref, ScalarValueSize(type));
  }
  return CopyValue(destination, &value);
}

}  // namespace

void VariantInit(VARIANTARG* variant) {
  if (variant) SetEmpty(variant);
}

HRESULT VariantClear(VARIANTARG* variant) {
  if (!variant) return E_INVALIDARG;
  const VARTYPE type = variant->vt;
  if (!IsValidVariantType(type)) return DISP_E_BADVARTYPE;
  if (!(type & VT_BYREF)) {
    if (type & VT_ARRAY) {
      const HRESULT hr = SafeArrayDestroy(variant->parray);
      if (FAILED(hr)) return hr;
    } else if (type == VT_BSTR) {
      SysFreeString(variant->bstrVal);
    } else if (type == VT_UNKNOWN || type == VT_DISPATCH) {
      if (variant->punkVal) variant->punkVal->Release();
    } else if (type == VT_RECORD && variant->pRecInfo) {
      if (variant->pvRecord) variant->pRecInfo->RecordDestroy(variant->pvRecord);
      variant->pRecInfo->Release();
    }
  }
  SetEmpty(variant);
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* destination, const VARIANTARG* source) {
  if (!destination || !source) return E_INVALIDARG;
  if (destination == source) return S_OK;
  if (!IsValidVariantType(source->vt)) return DISP_E_BADVARTYPE;
  // The copy is made first: the source may live inside what the destination holds.
  VARIANT copy;
  SetEmpty(&copy);
  const HRESULT hr = CopyValue(&copy, source);
  if (FAILED(hr)) return hr;
  const HRESULT cleared = VariantClear(destination);
  if (FAILED(cleared)) {
    VariantClear(&copy);
    return cleared;
  }
  std::memcpy(destination, &copy, sizeof(VARIANT));
  return S_OK;
}

HRESULT VariantCopyInd(VARIANT* destination, const VARIANTARG* source) {
  if (!destination || !source) return E_INVALIDARG;
  if (!IsValidVariantType(source->vt)) return DISP_E_BADVARTYPE;
  VARIANT copy;
  SetEmpty(&copy);
  const HRESULT hr = (source->vt & VT_BYREF) ? CopyReferencedValue(&copy, source) : CopyValue(&copy, source);
  if (FAILED(hr)) return hr;
  if (destination != source) {
    const HRESULT cleared = VariantClear(destination);
    if (FAILED(cleared)) {
      VariantClear(&copy);
      return cleared;
    }
  } else if (!(source->vt & VT_BYREF)) {
    // Copying a value onto itself: drop the copy's own references, keep the original.
    VariantClear(&copy);
    return S_OK;
  }
  std::memcpy(destination, &copy, sizeof(VARIANT));
  return S_OK;
}
