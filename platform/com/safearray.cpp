// Safe arrays. A descriptor made here is preceded by a hidden 16-byte block whose last four
// bytes hold the element VARTYPE (FADF_HAVEVARTYPE), as on the platform. Descriptors marked
// FADF_AUTO, FADF_STATIC or FADF_EMBEDDED belong to their caller: destroying one releases its
// owned elements but frees neither the descriptor nor the data.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/com/oleauto.h"
#include "platform/com/variant_types.h"

namespace {

constexpr size_t kHiddenPrefixBytes = 16;
constexpr uint64_t kMaxDataBytes = uint64_t{1} << 30;
constexpr ULONG kMaxLocks = 0xFFFF;
constexpr USHORT kCallerOwned = FADF_AUTO | FADF_STATIC | FADF_EMBEDDED;
constexpr USHORT kOwningFeatures = FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH | FADF_VARIANT;

std::optional<ULONG> ElementSize(VARTYPE type) {
  if (const size_t scalar = quorlin::platform::ScalarValueSize(type)) return static_cast<ULONG>(scalar);
  switch (type) {
    case VT_BSTR:
    case VT_UNKNOWN:
    case VT_DISPATCH: return static_cast<ULONG>(sizeof(void*));
    case VT_DECIMAL: return static_cast<ULONG>(sizeof(DECIMAL));
    case VT_VARIANT: return static_cast<ULONG>(sizeof(VARIANT));
    default: return std::nullopt;
  }
}

USHORT FeaturesOf(VARTYPE type) {
  switch (type) {
    case VT_BSTR: return FADF_BSTR | FADF_HAVEVARTYPE;
    case VT_UNKNOWN: return FADF_UNKNOWN | FADF_HAVEVARTYPE;
    case VT_DISPATCH: return FADF_DISPATCH | FADF_HAVEVARTYPE;
    case VT_VARIANT: return FADF_VARIANT | FADF_HAVEVARTYPE;
    default: return FADF_HAVEVARTYPE;
  }
}

SAFEARRAYBOUND* Bounds(SAFEARRAY* array) { return array->rgsabound; }

// The bound of a dimension counted from the left, 0 first.
SAFEARRAYBOUND& Dimension(SAFEARRAY* array, UINT leftIndex) { return Bounds(array)[array->cDims - 1 - leftIndex]; }

uint64_t ElementCount(SAFEARRAY* array) {
  uint64_t count = 1;
  for (UINT i = 0; i < array->cDims; ++i) count *= Bounds(array)[i].cElements;
  return count;
}

// The element count whose data fits the size limit, or nothing.
std::optional<uint64_t> CheckedElementCount(const SAFEARRAYBOUND* bounds, UINT dimensions, ULONG elementSize) {
  uint64_t count = 1;
  for (UINT i = 0; i < dimensions; ++i) {
    const int64_t upper = int64_t{bounds[i].lLbound} + int64_t{bounds[i].cElements} - 1;
    if (upper > INT32_MAX || upper < int64_t{INT32_MIN}) return std::nullopt;
    count *= bounds[i].cElements;
    if (count * elementSize > kMaxDataBytes) return std::nullopt;
  }
  return count;
}

char* HiddenPrefix(SAFEARRAY* array) { return reinterpret_cast<char*>(array) - kHiddenPrefixBytes; }

size_t DescriptorBytes(UINT dimensions) {
  return offsetof(SAFEARRAY, rgsabound) + size_t{dimensions} * sizeof(SAFEARRAYBOUND);
}

SAFEARRAY* AllocateDescriptor(VARTYPE type, UINT dimensions) {
  auto* block = static_cast<char*>(std::calloc(1, kHiddenPrefixBytes + DescriptorBytes(dimensions)));
  if (!block) return nullptr;
  const DWORD storedType = type;
  std::memcpy(block + kHiddenPrefixBytes - sizeof(DWORD), &storedType, sizeof(DWORD));
  return reinterpret_cast<SAFEARRAY*>(block + kHiddenPrefixBytes);
}

void ReleaseElements(SAFEARRAY* array, uint64_t from, uint64_t to) {
  if (!array->pvData || !(array->fFeatures & kOwningFeatures)) return;
  char* data = static_cast<char*>(array->pvData);
  for (uint64_t i = from; i < to; ++i) {
    void* element = data + i * array->cbElements;
    if (array->fFeatures & FADF_BSTR) {
      BSTR* bstr = static_cast<BSTR*>(element);
      SysFreeString(*bstr);
      *bstr = nullptr;
    } else if (array->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
      // IDispatch derives from IUnknown alone, so both pointers are the same object.
      IUnknown** unknown = static_cast<IUnknown**>(element);
      if (*unknown) (*unknown)->Release();
      *unknown = nullptr;
    } else if (array->fFeatures & FADF_VARIANT) {
      VariantClear(static_cast<VARIANT*>(element));
    }
  }
}

void FreeDescriptor(SAFEARRAY* array) { std::free(HiddenPrefix(array)); }

std::optional<uint64_t> CellOf(SAFEARRAY* array, const LONG* indices) {
  uint64_t cell = 0;
  uint64_t stride = 1;
  for (UINT i = 0; i < array->cDims; ++i) {
    const SAFEARRAYBOUND& bound = Dimension(array, i);
    const int64_t offset = int64_t{indices[i]} - bound.lLbound;
    if (offset < 0 || offset >= int64_t{bound.cElements}) return std::nullopt;
    cell += static_cast<uint64_t>(offset) * stride;
    stride *= bound.cElements;
  }
  return cell;
}

HRESULT ElementAddress(SAFEARRAY* array, LONG* indices, void** element) {
  if (!array || !indices || !element) return E_INVALIDARG;
  const std::optional<uint64_t> cell = CellOf(array, indices);
  if (!cell || !array->pvData) return DISP_E_BADINDEX;
  *element = static_cast<char*>(array->pvData) + *cell * array->cbElements;
  return S_OK;
}

// Copies one element into uninitialised storage.
HRESULT CopyElementInto(SAFEARRAY* array, const void* source, void* destination) {
  if (array->fFeatures & FADF_BSTR) {
    const BSTR from = *static_cast<const BSTR*>(source);
    BSTR copy = quorlin::platform::CopyBstrBytes(from);
    if (from && !copy) return E_OUTOFMEMORY;
    *static_cast<BSTR*>(destination) = copy;
  } else if (array->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
    IUnknown* unknown = *static_cast<IUnknown* const*>(source);
    if (unknown) unknown->AddRef();
    *static_cast<IUnknown**>(destination) = unknown;
  } else if (array->fFeatures & FADF_VARIANT) {
    auto* variant = static_cast<VARIANT*>(destination);
    VariantInit(variant);
    return VariantCopy(variant, static_cast<const VARIANT*>(source));
  } else {
    std::memcpy(destination, source, array->cbElements);
  }
  return S_OK;
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE type, UINT dimensions, SAFEARRAYBOUND* bounds) {
  if (!bounds || dimensions == 0 || dimensions > 0xFFFF) return nullptr;
  const std::optional<ULONG> elementSize = ElementSize(type);
  if (!elementSize) return nullptr;
  const std::optional<uint64_t> count = CheckedElementCount(bounds, dimensions, *elementSize);
  if (!count) return nullptr;

  SAFEARRAY* array = AllocateDescriptor(type, dimensions);
  if (!array) return nullptr;
  array->cDims = static_cast<USHORT>(dimensions);
  array->fFeatures = FeaturesOf(type);
  array->cbElements = *elementSize;
  for (UINT i = 0; i < dimensions; ++i) Dimension(array, i) = bounds[i];
  if (*count > 0) {
    array->pvData = std::calloc(static_cast<size_t>(*count), *elementSize);
    if (!array->pvData) {
      FreeDescriptor(array);
      return nullptr;
    }
  }
  return array;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE type, LONG lowerBound, ULONG elements) {
  SAFEARRAYBOUND bound{elements, lowerBound};
  return SafeArrayCreate(type, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
  if (!array) return S_OK;
  if (array->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  ReleaseElements(array, 0, ElementCount(array));
  if (array->fFeatures & kCallerOwned) return S_OK;
  std::free(array->pvData);
  FreeDescriptor(array);
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array) { return array ? array->cDims : 0; }

UINT SafeArrayGetElemsize(SAFEARRAY* array) { return array ? array->cbElements : 0; }

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dimension, LONG* lowerBound) {
  if (!array || !lowerBound) return E_INVALIDARG;
  if (dimension == 0 || dimension > array->cDims) return DISP_E_BADINDEX;
  *lowerBound = Dimension(array, dimension - 1).lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dimension, LONG* upperBound) {
  if (!array || !upperBound) return E_INVALIDARG;
  if (dimension == 0 || dimension > array->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& bound = Dimension(array, dimension - 1);
  *upperBound = static_cast<LONG>(int64_t{bound.lLbound} + int64_t{bound.cElements} - 1);
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* array) {
  if (!array) return E_INVALIDARG;
  if (array->cLocks >= kMaxLocks) return E_UNEXPECTED;
  ++array->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* array) {
  if (!array) return E_INVALIDARG;
  if (array->cLocks == 0) return E_UNEXPECTED;
  --array->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  if (!array || !data) return E_INVALIDARG;
  const HRESULT hr = SafeArrayLock(array);
  if (FAILED(hr)) return hr;
  *data = array->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) { return SafeArrayUnlock(array); }

HRESULT SafeArrayPtrOfIndex(SAFEARRAY* array, LONG* indices, void** element) {
  return ElementAddress(array, indices, element);
}

HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* value) {
  if (!value) return E_INVALIDARG;
  void* element = nullptr;
  HRESULT hr = ElementAddress(array, indices, &element);
  if (FAILED(hr)) return hr;
  if (FAILED(hr = SafeArrayLock(array))) return hr;
  hr = CopyElementInto(array, element, value);
  SafeArrayUnlock(array);
  return hr;
}

HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* value) {
  void* element = nullptr;
  HRESULT hr = ElementAddress(array, indices, &element);
  if (FAILED(hr)) return hr;
  if (FAILED(hr = SafeArrayLock(array))) return hr;
  if (array->fFeatures & FADF_BSTR) {
    // BSTR, IUnknown* and IDispatch* elements are passed as the pointer itself.
    const BSTR from = static_cast<BSTR>(value);
    BSTR copy = quorlin::platform::CopyBstrBytes(from);
    if (from && !copy) {
      hr = E_OUTOFMEMORY;
    } else {
      SysFreeString(*static_cast<BSTR*>(element));
      *static_cast<BSTR*>(element) = copy;
    }
  } else if (array->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
    auto* unknown = static_cast<IUnknown*>(value);
    if (unknown) unknown->AddRef();
    IUnknown*& slot = *static_cast<IUnknown**>(element);
    if (slot) slot->Release();
    slot = unknown;
  } else if (array->fFeatures & FADF_VARIANT) {
    if (!value) {
      hr = E_INVALIDARG;
    } else {
      VARIANT copy;
      VariantInit(&copy);
      hr = VariantCopy(&copy, static_cast<const VARIANT*>(value));
      if (SUCCEEDED(hr)) {
        VariantClear(static_cast<VARIANT*>(element));
        std::memcpy(element, &copy, sizeof(VARIANT));
      }
    }
  } else if (!value) {
    hr = E_INVALIDARG;
  } else {
    std::memcpy(element, value, array->cbElements);
  }
  SafeArrayUnlock(array);
  return hr;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* type) {
  if (!array || !type) return E_INVALIDARG;
  if (array->fFeatures & FADF_HAVEVARTYPE) {
    DWORD storedType;
    std::memcpy(&storedType, HiddenPrefix(array) + kHiddenPrefixBytes - sizeof(DWORD), sizeof(DWORD));
    *type = static_cast<VARTYPE>(storedType);
  } else if (array->fFeatures & FADF_BSTR) {
    *type = VT_BSTR;
  } else if (array->fFeatures & FADF_UNKNOWN) {
    *type = VT_UNKNOWN;
  } else if (array->fFeatures & FADF_DISPATCH) {
    *type = VT_DISPATCH;
  } else if (array->fFeatures & FADF_VARIANT) {
    *type = VT_VARIANT;
  } else {
    return E_INVALIDARG;
  }
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy) {
  if (!copy) return E_INVALIDARG;
  *copy = nullptr;
  if (!array) return S_OK;
  if (array->cDims == 0) return E_INVALIDARG;
  VARTYPE type;
  HRESULT hr = SafeArrayGetVartype(array, &type);
  if (FAILED(hr)) return hr;
  const std::optional<ULONG> elementSize = ElementSize(type);
  if (!elementSize || *elementSize != array->cbElements) return E_INVALIDARG;

  SAFEARRAY* result = AllocateDescriptor(type, array->cDims);
  if (!result) return E_OUTOFMEMORY;
  result->cDims = array->cDims;
  result->fFeatures = static_cast<USHORT>((array->fFeatures & ~kCallerOwned) | FADF_HAVEVARTYPE);
  result->cbElements = array->cbElements;
  std::memcpy(Bounds(result), Bounds(array), size_t{array->cDims} * sizeof(SAFEARRAYBOUND));
  const uint64_t count = ElementCount(array);
  if (count * array->cbElements > kMaxDataBytes) {
    FreeDescriptor(result);
    return E_INVALIDARG;
  }
  if (count > 0 && array->pvData) {
    result->pvData = std::calloc(static_cast<size_t>(count), result->cbElements);
    if (!result->pvData) {
      FreeDescriptor(result);
      return E_OUTOFMEMORY;
    }
    const char* from = static_cast<const char*>(array->pvData);
    char* to = static_cast<char*>(result->pvData);
    for (uint64_t i = 0; i < count && SUCCEEDED(hr); ++i) {
      hr = CopyElementInto(result, from + i * result->cbElements, to + i * result->cbElements);
    }
    if (FAILED(hr)) {
      SafeArrayDestroy(result);
      return hr;
    }
  }
  *copy = result;
  return S_OK;
}

HRESULT SafeArrayRedim(SAFEARRAY* array, SAFEARRAYBOUND* rightmostBound) {
  if (!array || !rightmostBound) return E_INVALIDARG;
  if (array->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  if (array->fFeatures & (kCallerOwned | FADF_FIXEDSIZE)) return E_INVALIDARG;

  SAFEARRAYBOUND newBounds[1] = {*rightmostBound};
  if (!CheckedElementCount(newBounds, 1, 1)) return E_INVALIDARG;
  uint64_t otherElements = 1;
  for (UINT i = 1; i < array->cDims; ++i) otherElements *= Bounds(array)[i].cElements;
  const uint64_t oldCount = ElementCount(array);
  const uint64_t newCount = otherElements * rightmostBound->cElements;
  if (newCount * array->cbElements > kMaxDataBytes) return E_INVALIDARG;

  if (newCount == 0) {
    ReleaseElements(array, 0, oldCount);
    std::free(array->pvData);
    array->pvData = nullptr;
  } else if (newCount != oldCount) {
    const size_t newBytes = static_cast<size_t>(newCount * array->cbElements);
    void* data = std::calloc(1, newBytes);
    if (!data) return E_OUTOFMEMORY;
    const uint64_t kept = newCount < oldCount ? newCount : oldCount;
    if (array->pvData) {
      std::memcpy(data, array->pvData, static_cast<size_t>(kept * array->cbElements));
      // The moved elements now belong to the new block; only the dropped ones are released.
      ReleaseElements(array, kept, oldCount);
      std::free(array->pvData);
    }
    array->pvData = data;
  }
  Bounds(array)[0] = *rightmostBound;
  return S_OK;
}
