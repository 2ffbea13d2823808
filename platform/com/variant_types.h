// Internals shared by the VARIANT and safe-array functions.
#pragma once

#include <cstddef>

#include "platform/com/oleauto.h"

namespace quorlin::platform {

// Whether a VARIANT may carry the type (VT_ARRAY and VT_BYREF combinations included).
bool IsValidVariantType(VARTYPE type);
// The byte size of a fixed-size value type; 0 for the others.
size_t ScalarValueSize(VARTYPE base);
// A copy keeping the exact byte length (odd lengths and embedded NULs too); null for null.
BSTR CopyBstrBytes(BSTR source);

}  // namespace quorlin::platform
