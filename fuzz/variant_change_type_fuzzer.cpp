// Text changed to the other VARIANT types: the parsers never read past the text, and every
// exact type (integers, currency, booleans, dates) reads its own text form back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/com/oleauto.h"

namespace {

constexpr VARTYPE kTargets[] = {VT_I1, VT_I2,  VT_I4,   VT_I8,   VT_UI1, VT_UI2, VT_UI4, VT_UI8,
                                VT_R4, VT_R8,  VT_CY,   VT_DATE, VT_BOOL, VT_DECIMAL};

bool IsExact(VARTYPE type) { return type != VT_R4 && type != VT_R8; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const VARTYPE target = kTargets[data[0] % (sizeof kTargets / sizeof kTargets[0])];
  // One byte per character keeps the fuzzer near the ASCII forms the parsers accept.
  BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(size - 1));
  if (!text) return 0;
  for (size_t i = 1; i < size; ++i) text[i - 1] = data[i];

  VARIANT source;
  VariantInit(&source);
  source.vt = VT_BSTR;
  source.bstrVal = text;
  VARIANT value;
  VariantInit(&value);
  if (SUCCEEDED(VariantChangeType(&value, &source, 0, target))) {
    if (value.vt != target) std::abort();
    VARIANT printed;
    VariantInit(&printed);
    if (FAILED(VariantChangeType(&printed, &value, 0, VT_BSTR))) std::abort();
    VARIANT again;
    VariantInit(&again);
    if (FAILED(VariantChangeType(&again, &printed, 0, target))) std::abort();
    if (IsExact(target) && std::memcmp(&again, &value, sizeof(VARIANT)) != 0) std::abort();
    VariantClear(&again);
    VariantClear(&printed);
  }
  VariantClear(&value);
  VariantClear(&source);
  return 0;
}
