// The safe array a variant holds, with its element count checked and single elements read.
// Bounds come from the component that made the array and are checked before use.
#pragma once

#include <cstddef>
#include <optional>

#include "platform/com/oleauto.h"

namespace quorlin::automation {

// The array a variant holds directly or by reference; null when it holds none.
SAFEARRAY* ArrayOfVariant(const VARIANT& variant);

// The product over all dimensions of (upper bound - lower bound + 1); nothing when the array
// has no dimension, a bound cannot be read or the product exceeds `limit`.
std::optional<size_t> CheckedElementCount(SAFEARRAY* array, size_t limit);

// A copy of element `index` (0-based, in memory order) of an array of `elementType` into
// `out`, which must be empty. False when the index is outside the array, the element type is
// not one a VARIANT can hold, or the array's element size does not match it.
bool ReadArrayElement(SAFEARRAY* array, VARTYPE elementType, size_t index, VARIANT& out);

}  // namespace quorlin::automation
