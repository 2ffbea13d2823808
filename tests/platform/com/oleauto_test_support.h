// Helpers of the OLE automation tests: plain descriptions of VARIANT values and small COM
// objects that report their release.
#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>

#include "platform/com/com_object.h"
#include "platform/com/oleauto.h"
#include "platform/com/typeinfo.h"

namespace quorlin::platform::test {

// A by-value VARIANT of a number, text or the empty kinds, as a comparable value.
struct Value {
  VARTYPE vt = VT_EMPTY;
  int64_t integer = 0;  // integer types, BOOL, ERROR, CY (scaled)
  double real = 0;      // R4, R8, DATE
  std::u16string text;  // BSTR

  friend bool operator==(const Value&, const Value&) = default;
};

inline Value Int(VARTYPE vt, int64_t v) { return Value{vt, v, 0, {}}; }
inline Value Real(VARTYPE vt, double v) { return Value{vt, 0, v, {}}; }
inline Value Text(std::u16string v) { return Value{VT_BSTR, 0, 0, std::move(v)}; }
inline Value Bool(bool v) { return Int(VT_BOOL, v ? VARIANT_TRUE : VARIANT_FALSE); }
inline Value Empty() { return Value{}; }
inline Value Null() { return Value{VT_NULL, 0, 0, {}}; }

inline VARIANT Make(const Value& value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = value.vt;
  switch (value.vt) {
    case VT_I1: v.cVal = static_cast<CHAR>(value.integer); break;
    case VT_UI1: v.bVal = static_cast<BYTE>(value.integer); break;
    case VT_I2: v.iVal = static_cast<SHORT>(value.integer); break;
    case VT_BOOL: v.boolVal = static_cast<VARIANT_BOOL>(value.integer); break;
    case VT_UI2: v.uiVal = static_cast<USHORT>(value.integer); break;
    case VT_I4:
    case VT_INT:
    case VT_ERROR: v.lVal = static_cast<LONG>(value.integer); break;
    case VT_UI4:
    case VT_UINT: v.ulVal = static_cast<ULONG>(value.integer); break;
    case VT_I8:
    case VT_UI8:
    case VT_CY: v.llVal = value.integer; break;
    case VT_R4: v.fltVal = static_cast<float>(value.real); break;
    case VT_R8:
    case VT_DATE: v.dblVal = value.real; break;
    case VT_BSTR: v.bstrVal = SysAllocStringLen(value.text.data(), static_cast<UINT>(value.text.size())); break;
    default: break;
  }
  return v;
}

inline Value Read(const VARIANT& v) {
  Value value{v.vt, 0, 0, {}};
  switch (v.vt) {
    case VT_I1: value.integer = static_cast<int8_t>(v.cVal); break;
    case VT_UI1: value.integer = v.bVal; break;
    case VT_I2: value.integer = v.iVal; break;
    case VT_BOOL: value.integer = v.boolVal; break;
    case VT_UI2: value.integer = v.uiVal; break;
    case VT_I4:
    case VT_INT:
    case VT_ERROR: value.integer = v.lVal; break;
    case VT_UI4:
    case VT_UINT: value.integer = v.ulVal; break;
    case VT_I8:
    case VT_UI8:
    case VT_CY: value.integer = v.llVal; break;
    case VT_R4: value.real = v.fltVal; break;
    case VT_R8:
    case VT_DATE: value.real = v.dblVal; break;
    case VT_BSTR: value.text = std::u16string(BstrView(v.bstrVal)); break;
    default: break;
  }
  return value;
}

inline std::ostream& operator<<(std::ostream& out, const Value& value) {
  out << "vt " << value.vt << " integer " << value.integer << " real " << value.real << " text \"";
  for (char16_t c : value.text) out << (c < 0x80 ? static_cast<char>(c) : '?');
  return out << '"';
}

// An object that sets a flag when its last reference goes.
class Counted final : public ComObject<IUnknown> {
 public:
  explicit Counted(bool* destroyed) : destroyed_(destroyed) {}
  // The references held, read without changing them.
  ULONG References() {
    AddRef();
    return Release();
  }

 private:
  ~Counted() override { *destroyed_ = true; }
  bool* destroyed_;
};

// An automation object whose default property (DISPID_VALUE) is a copy of a given value.
class ValueObject final : public ComObject<IDispatch> {
 public:
  explicit ValueObject(const Value& value) : value_(value) {}

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (member != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    ++reads;
    *result = Make(value_);
    return S_OK;
  }

  int reads = 0;

 private:
  ~ValueObject() override = default;
  Value value_;
};

}  // namespace quorlin::platform::test
