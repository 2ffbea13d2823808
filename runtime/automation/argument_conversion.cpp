#include "runtime/automation/argument_conversion.h"

#include <cstring>

#include "platform/com/com_ptr.h"
#include "runtime/automation/automation_commands.h"
#include "runtime/automation/object_variables.h"
#include "runtime/automation/text_bstr.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::automation {
namespace {

// Bytes a variable of this tag occupies; 0 for tags no argument can have.
size_t VariableSize(uint32_t tag) {
  if (tag == kObjectTag || tag == kVariantTag) return sizeof(void*);
  return BaseTypeSize(tag);
}

void SetMissing(VARIANT& out) {
  out.vt = VT_ERROR;
  out.scode = DISP_E_PARAMNOTFOUND;
}

bool ConvertObject(const ObjectRecord* record, const ParameterType& parameter, VARIANT& out) {
  IUnknown* object = record ? record->object : nullptr;
  if (object && record->recordData) {
    // The member gets its own copy of the record: the argument VARIANT is cleared after the
    // call, and clearing a VT_RECORD destroys its data.
    auto* info = static_cast<IRecordInfo*>(object);
    PVOID copy = nullptr;
    if (FAILED(info->RecordCreateCopy(record->recordData, &copy)) || !copy) return false;
    info->AddRef();
    out.vt = VT_RECORD;
    out.pvRecord = copy;
    out.pRecInfo = info;
    return true;
  }
  out.vt = VT_UNKNOWN;
  out.punkVal = nullptr;
  if (!object) return true;
  const VARTYPE declared = parameter.type;
  if (declared == VT_UNKNOWN) {
    object->AddRef();
    out.punkVal = object;
  } else if (declared == VT_DISPATCH || declared == VT_VARIANT) {
    // A VARIANT parameter takes the object as it is: as IDispatch when it offers that,
    // otherwise as IUnknown, rather than losing it.
    IDispatch* dispatch = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) && dispatch) {
      out.vt = VT_DISPATCH;
      out.pdispVal = dispatch;
    } else if (declared == VT_VARIANT) {
      object->AddRef();
      out.punkVal = object;
    }
  }
  return true;
}

}  // namespace

bool ReadGivenArgument(const TypedValue& argument, GivenArgument& out) {
  out = {};
  if (argument.tag == 0 || (argument.tag & kByAddressFlag) == 0) {
    out.value = argument;
    return true;
  }
  const uint32_t tag = argument.tag & ~kByAddressFlag;
  void* address = PointerOf(argument);
  if (!address) return false;
  out.address = address;
  out.value.tag = tag;
  uint64_t bits = 0;
  const size_t size = VariableSize(tag);
  std::memcpy(&bits, address, size);  // little-endian: the value lands in the low bytes
  SetValue64(out.value, bits);
  return true;
}

bool ConvertArgument(const TypedValue& value, const ParameterType& parameter, VARIANT& out) {
  switch (value.tag) {
    case Tag::None: SetMissing(out); return true;
    case Tag::Boolean:
      out.vt = VT_BOOL;
      out.boolVal = value.low != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      return true;
    case Tag::DateTime:
      out.vt = VT_DATE;
      out.date = DoubleOf(value);
      return true;
    case Tag::Text:
      out.bstrVal = BstrFromText(TextView(PointerOf<const char>(value)));
      if (!out.bstrVal) return false;
      out.vt = VT_BSTR;
      return true;
    case Tag::Byte:
      out.vt = VT_UI1;
      out.bVal = static_cast<BYTE>(value.low);
      return true;
    case Tag::Short:
      out.vt = VT_I2;
      out.iVal = static_cast<SHORT>(value.low);
      return true;
    case Tag::Integer:
    case Tag::Long:  // the low 32 bits
      out.vt = VT_I4;
      out.lVal = static_cast<LONG>(value.low);
      return true;
    case Tag::Float:
      out.vt = VT_R4;
      out.fltVal = FloatOf(value);
      return true;
    case Tag::Double:
      out.vt = VT_R8;
      out.dblVal = DoubleOf(value);
      return true;
    case kObjectTag: return ConvertObject(PointerOf<const ObjectRecord>(value), parameter, out);
    case kVariantTag: {
      const VARIANT* held = PointerOf<const VARIANT>(value);
      if (!held) return true;  // VT_EMPTY
      if (FAILED(VariantCopyInd(&out, held))) {
        VariantInit(&out);
        return false;
      }
      return true;
    }
    default: return false;  // byte sets, subroutine pointers, anything else
  }
}

void StoreThroughAddress(void* address, const TypedValue& result) {
  switch (result.tag) {
    case Tag::Text: {
      char* old;
      std::memcpy(&old, address, sizeof old);
      LibraryHost::Free(old);
      char* text = PointerOf<char>(result);
      std::memcpy(address, &text, sizeof text);
      return;
    }
    case kObjectTag: {
      ObjectRecord* held;
      std::memcpy(&held, address, sizeof held);
      auto* made = PointerOf<ObjectRecord>(result);
      if (!held) {
        std::memcpy(address, &made, sizeof made);
        return;
      }
      StoreObject(*held, made->object);
      LibraryHost::Free(made);
      return;
    }
    case kVariantTag: {
      VARIANT* held;
      std::memcpy(&held, address, sizeof held);
      auto* made = PointerOf<VARIANT>(result);
      if (!held) {
        std::memcpy(address, &made, sizeof made);
        return;
      }
      VariantClear(held);
      std::memcpy(static_cast<void*>(held), made, sizeof(VARIANT));
      LibraryHost::Free(made);
      return;
    }
    default: {
      const uint64_t bits = Value64(result);
      std::memcpy(address, &bits, VariableSize(result.tag));
      return;
    }
  }
}

}  // namespace quorlin::automation
