#include "runtime/automation/safe_array_elements.h"

#include <cstdint>
#include <vector>

namespace quorlin::automation {
namespace {

// The extent of one dimension (1-based), or nothing when its bounds cannot be read.
std::optional<uint64_t> Extent(SAFEARRAY* array, UINT dimension) {
  LONG lower = 0;
  LONG upper = 0;
  if (FAILED(SafeArrayGetLBound(array, dimension, &lower)) || FAILED(SafeArrayGetUBound(array, dimension, &upper))) {
    return std::nullopt;
  }
  const int64_t extent = static_cast<int64_t>(upper) - static_cast<int64_t>(lower) + 1;
  return extent > 0 ? static_cast<uint64_t>(extent) : 0;
}

// The element size of an array of this type; 0 for types read some other way.
size_t ElementSize(VARTYPE type) {
  switch (type) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
    case VT_BSTR: case VT_UNKNOWN: case VT_DISPATCH: return sizeof(void*);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
  }
}

}  // namespace

SAFEARRAY* ArrayOfVariant(const VARIANT& variant) {
  if ((variant.vt & VT_ARRAY) == 0) return nullptr;
  if (variant.vt & VT_BYREF) return variant.pparray ? *variant.pparray : nullptr;
  return variant.parray;
}

std::optional<size_t> CheckedElementCount(SAFEARRAY* array, size_t limit) {
  if (!array) return std::nullopt;
  const UINT dimensions = SafeArrayGetDim(array);
  if (dimensions == 0) return std::nullopt;
  uint64_t count = 1;
  for (UINT d = 1; d <= dimensions; ++d) {
    const std::optional<uint64_t> extent = Extent(array, d);
    if (!extent) return std::nullopt;
    if (*extent == 0) return 0;
    if (count > limit / *extent) return std::nullopt;
    count *= *extent;
  }
  return static_cast<size_t>(count);
}

bool ReadArrayElement(SAFEARRAY* array, VARTYPE elementType, size_t index, VARIANT& out) {
  const size_t size = ElementSize(elementType);
  if (!array || size == 0 || SafeArrayGetElemsize(array) != size) return false;
  const UINT dimensions = SafeArrayGetDim(array);
  if (dimensions == 0) return false;
  // The leftmost dimension varies fastest; the index vector lists it first.
  std::vector<LONG> indices(dimensions);
  size_t rest = index;
  for (UINT d = 1; d <= dimensions; ++d) {
    LONG lower = 0;
    const std::optional<uint64_t> extent = Extent(array, d);
    if (!extent || *extent == 0 || FAILED(SafeArrayGetLBound(array, d, &lower))) return false;
    indices[d - 1] = static_cast<LONG>(lower + static_cast<int64_t>(rest % *extent));
    rest /= *extent;
  }
  if (rest != 0) return false;  // past the last element
  if (elementType == VT_VARIANT) return SUCCEEDED(SafeArrayGetElement(array, indices.data(), &out));
  if (FAILED(SafeArrayGetElement(array, indices.data(), &out.llVal))) return false;
  out.vt = elementType;
  return true;
}

}  // namespace quorlin::automation
