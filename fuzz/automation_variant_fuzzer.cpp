// Variants as a component may hand them out (scalars, texts, arrays of any shape with any
// bounds): every conversion to a typed value, the byte-set extraction and element reads
// never read outside the variant and release all they make.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/com/oleauto.h"
#include "runtime/automation/automation_commands.h"
#include "runtime/automation/result_conversion.h"
#include "runtime/automation/safe_array_elements.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"

namespace {

using namespace quorlin;
using namespace quorlin::automation;

intptr_t MallocHost(int32_t code, intptr_t p1, intptr_t p2) {
  switch (code) {
    case HostCode::Allocate: return reinterpret_cast<intptr_t>(std::malloc(p1 ? static_cast<size_t>(p1) : 1));
    case HostCode::Free: std::free(reinterpret_cast<void*>(p1)); return 0;
    case HostCode::Reallocate:
      return reinterpret_cast<intptr_t>(std::realloc(reinterpret_cast<void*>(p1), p2 ? static_cast<size_t>(p2) : 1));
    default: return 0;
  }
}

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  void Fill(void* out, size_t count) {
    for (size_t i = 0; i < count; ++i) static_cast<uint8_t*>(out)[i] = Byte();
  }
  size_t Left() const { return size_ - at_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

constexpr VARTYPE kScalarTypes[] = {VT_EMPTY, VT_NULL, VT_I2,  VT_I4,  VT_R4,  VT_R8, VT_CY,   VT_DATE,
                                    VT_ERROR, VT_BOOL, VT_I1,  VT_UI1, VT_UI2, VT_UI4, VT_I8, VT_UI8, VT_INT, VT_UINT};
constexpr VARTYPE kElementTypes[] = {VT_UI1, VT_I1, VT_I2, VT_I4, VT_R8, VT_BOOL, VT_BSTR, VT_VARIANT};

BSTR TextFrom(Input& in) {
  const size_t length = in.Byte() % 12;
  std::vector<OLECHAR> text(length);
  in.Fill(text.data(), length * sizeof(OLECHAR));
  return SysAllocStringLen(text.data(), static_cast<UINT>(length));
}

void ScalarFrom(Input& in, VARIANT& v) {
  const uint8_t choice = in.Byte();
  if (choice % 8 == 7) {
    v.vt = VT_BSTR;
    v.bstrVal = TextFrom(in);
    return;
  }
  v.vt = kScalarTypes[choice % std::size(kScalarTypes)];
  in.Fill(&v.llVal, 8);
}

void ArrayFrom(Input& in, VARIANT& v) {
  const VARTYPE element = kElementTypes[in.Byte() % std::size(kElementTypes)];
  const UINT dimensions = 1 + in.Byte() % 3;
  SAFEARRAYBOUND bounds[3];
  for (UINT d = 0; d < dimensions; ++d) {
    bounds[d].cElements = in.Byte() % 6;
    bounds[d].lLbound = static_cast<int8_t>(in.Byte());
  }
  SAFEARRAY* array = SafeArrayCreate(element, dimensions, bounds);
  if (!array) return;
  const std::optional<size_t> count = CheckedElementCount(array, 1000);
  for (size_t i = 0; count && i < *count && in.Left() > 0; ++i) {
    std::vector<LONG> index(dimensions);
    size_t rest = i;
    for (UINT d = 0; d < dimensions; ++d) {
      index[d] = bounds[d].lLbound + static_cast<LONG>(rest % bounds[d].cElements);
      rest /= bounds[d].cElements;
    }
    if (element == VT_BSTR) {
      BSTR text = TextFrom(in);
      SafeArrayPutElement(array, index.data(), text);
      SysFreeString(text);
    } else if (element == VT_VARIANT) {
      VARIANT inner;
      VariantInit(&inner);
      ScalarFrom(in, inner);
      SafeArrayPutElement(array, index.data(), &inner);
      VariantClear(&inner);
    } else {
      uint64_t bits = 0;
      in.Fill(&bits, 8);
      SafeArrayPutElement(array, index.data(), &bits);
    }
  }
  v.vt = static_cast<VARTYPE>(VT_ARRAY | element);
  v.parray = array;
}

void Release(const TypedValue& value) {
  if (value.tag == Tag::Text || value.tag == Tag::ByteSet) LibraryHost::Free(PointerOf(value));
  if (value.tag == kObjectTag) {
    TypedValue record = value;
    TypedValue none{};
    ObjectClearCommand(&none, 1, &record);
    LibraryHost::Free(PointerOf(value));
  }
  if (value.tag == kVariantTag) {
    VariantClear(PointerOf<VARIANT>(value));
    LibraryHost::Free(PointerOf(value));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LibraryHost::Attach(&MallocHost);
  Input in(data, size);
  VARIANT held;
  VariantInit(&held);
  const uint8_t shape = in.Byte();
  if (shape & 1) {
    ArrayFrom(in, held);
  } else {
    ScalarFrom(in, held);
  }
  VARIANT reference;
  VariantInit(&reference);
  VARIANT* variant = &held;
  if ((shape & 2) && (held.vt & VT_ARRAY)) {
    reference.vt = static_cast<VARTYPE>(VT_BYREF | held.vt);
    reference.pparray = &held.parray;
    variant = &reference;
  }

  for (ResultType type : {ResultType::Boolean, ResultType::DateTime, ResultType::Text, ResultType::Byte,
                          ResultType::Short, ResultType::Integer, ResultType::Long, ResultType::Float,
                          ResultType::Double, ResultType::Object, ResultType::Variant}) {
    TypedValue out{};
    if (ConvertResult(*variant, type, out)) Release(out);
  }

  TypedValue args[2] = {MakePointerValue(variant, kVariantTag), MakeInteger(static_cast<int8_t>(in.Byte()))};
  TypedValue result{};
  VariantToByteSetCommand(&result, 1, args);
  Release(result);
  const auto commands = {VariantToTextCommand, VariantToIntegerCommand, VariantToDoubleCommand, VariantToBooleanCommand};
  for (auto command : commands) {
    result = {};
    command(&result, 2, args);
    Release(result);
  }

  VariantClear(&held);
  LibraryHost::Attach(nullptr);
  return 0;
}
