// VariantChangeType(Ex). The source is first copied with its references followed; numbers then
// pass through one of three forms (an exact integer, a real, or a decimal from text, currency
// or DECIMAL) into the target type. The destination changes only on success.
#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "platform/com/oleauto.h"
#include "platform/com/typeinfo.h"
#include "platform/com/variant_text.h"
#include "platform/com/variant_types.h"

namespace {

using quorlin::platform::DecimalNumber;
namespace text = quorlin::platform;

// A value of a number-like source.
struct Number {
  enum class Form { Integer, Real, Decimal } form = Form::Integer;
  bool negative = false;
  uint64_t magnitude = 0;  // Form::Integer
  double real = 0;         // Form::Real
  DecimalNumber decimal;   // Form::Decimal
};

Number FromSigned(int64_t value) {
  Number n;
  n.negative = value < 0;
  n.magnitude = n.negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  return n;
}

Number FromUnsigned(uint64_t value) {
  Number n;
  n.magnitude = value;
  return n;
}

Number FromReal(double value) {
  Number n;
  n.form = Number::Form::Real;
  n.real = value;
  return n;
}

Number FromDecimal(DecimalNumber value) {
  Number n;
  n.form = Number::Form::Decimal;
  n.negative = value.negative;
  n.decimal = std::move(value);
  return n;
}

DecimalNumber DecimalFromScaled(bool negative, unsigned __int128 magnitude, int scale) {
  DecimalNumber d;
  if (magnitude == 0) return d;
  d.negative = negative;
  d.exponent = -scale;
  while (magnitude % 10 == 0) {
    magnitude /= 10;
    ++d.exponent;
  }
  while (magnitude != 0) {
    d.digits.insert(d.digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  }
  return d;
}

DecimalNumber DecimalFromCurrency(int64_t scaled) {
  const bool negative = scaled < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  return DecimalFromScaled(negative, magnitude, 4);
}

std::optional<DecimalNumber> DecimalFromDecimal(const DECIMAL& value) {
  if (value.scale > 28) return std::nullopt;
  const unsigned __int128 magnitude = (static_cast<unsigned __int128>(value.Hi32) << 64) | value.Lo64;
  return DecimalFromScaled((value.sign & DECIMAL_NEG) != 0, magnitude, value.scale);
}

bool IsZero(const Number& n) {
  switch (n.form) {
    case Number::Form::Integer: return n.magnitude == 0;
    case Number::Form::Real: return n.real == 0;
    case Number::Form::Decimal: return n.decimal.digits.empty();
  }
  return true;
}

// The value rounded to an integer in [-negativeLimit, positiveLimit], as sign and magnitude.
HRESULT ToInteger(const Number& n, uint64_t negativeLimit, uint64_t positiveLimit, bool& negative, uint64_t& magnitude) {
  switch (n.form) {
    case Number::Form::Integer:
      negative = n.negative;
      magnitude = n.magnitude;
      break;
    case Number::Form::Real: {
      if (!std::isfinite(n.real)) return DISP_E_OVERFLOW;
      const double rounded = text::RoundHalfEven(n.real);
      negative = rounded < 0;
      const double absolute = std::fabs(rounded);
      if (absolute >= 18446744073709551616.0) return DISP_E_OVERFLOW;  // 2^64
      magnitude = static_cast<uint64_t>(absolute);
      break;
    }
    case Number::Form::Decimal: {
      const std::optional<uint64_t> rounded = text::RoundedMagnitude(n.decimal, 0);
      if (!rounded) return DISP_E_OVERFLOW;
      negative = n.decimal.negative;
      magnitude = *rounded;
      break;
    }
  }
  if (magnitude == 0) negative = false;
  if (magnitude > (negative ? negativeLimit : positiveLimit)) return DISP_E_OVERFLOW;
  return S_OK;
}

template <typename T>
HRESULT ToSigned(const Number& n, T& out) {
  bool negative;
  uint64_t magnitude;
  const uint64_t positiveLimit = static_cast<uint64_t>(std::numeric_limits<T>::max());
  const HRESULT hr = ToInteger(n, positiveLimit + 1, positiveLimit, negative, magnitude);
  if (FAILED(hr)) return hr;
  out = negative ? static_cast<T>(0 - magnitude) : static_cast<T>(magnitude);
  return S_OK;
}

template <typename T>
HRESULT ToUnsigned(const Number& n, T& out) {
  bool negative;
  uint64_t magnitude;
  const HRESULT hr = ToInteger(n, 0, std::numeric_limits<T>::max(), negative, magnitude);
  if (FAILED(hr)) return hr;
  out = static_cast<T>(magnitude);
  return S_OK;
}

HRESULT ToReal(const Number& n, double& out) {
  switch (n.form) {
    case Number::Form::Integer: {
      const double magnitude = static_cast<double>(n.magnitude);
      out = n.negative ? -magnitude : magnitude;
      return S_OK;
    }
    case Number::Form::Real: out = n.real; return S_OK;
    case Number::Form::Decimal: {
      const std::optional<double> value = text::DecimalToDouble(n.decimal);
      if (!value) return DISP_E_OVERFLOW;
      out = *value;
      return S_OK;
    }
  }
  return DISP_E_TYPEMISMATCH;
}

HRESULT ToSingle(const Number& n, float& out) {
  double value;
  const HRESULT hr = ToReal(n, value);
  if (FAILED(hr)) return hr;
  if (std::fabs(value) > FLT_MAX) return DISP_E_OVERFLOW;
  out = static_cast<float>(value);
  return S_OK;
}

HRESULT ToCurrency(const Number& n, LONGLONG& out) {
  constexpr uint64_t kPositiveLimit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  bool negative = n.negative;
  uint64_t magnitude = 0;
  switch (n.form) {
    case Number::Form::Integer:
      if (__builtin_mul_overflow(n.magnitude, uint64_t{10000}, &magnitude)) return DISP_E_OVERFLOW;
      break;
    case Number::Form::Real: {
      if (!std::isfinite(n.real)) return DISP_E_OVERFLOW;
      const double rounded = text::RoundHalfEven(n.real * 10000.0);
      negative = rounded < 0;
      const double absolute = std::fabs(rounded);
      if (absolute >= 9223372036854775808.0) {  // 2^63, only the negative end may reach it
        if (!negative || absolute > 9223372036854775808.0) return DISP_E_OVERFLOW;
      }
      magnitude = static_cast<uint64_t>(absolute);
      break;
    }
    case Number::Form::Decimal: {
      const std::optional<uint64_t> rounded = text::RoundedMagnitude(n.decimal, 4);
      if (!rounded) return DISP_E_OVERFLOW;
      magnitude = *rounded;
      break;
    }
  }
  if (magnitude == 0) negative = false;
  if (magnitude > (negative ? kPositiveLimit + 1 : kPositiveLimit)) return DISP_E_OVERFLOW;
  out = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return S_OK;
}

HRESULT ToDate(const Number& n, double& out) {
  double value;
  const HRESULT hr = ToReal(n, value);
  if (FAILED(hr)) return hr;
  if (!text::IsDateInRange(value)) return DISP_E_OVERFLOW;
  out = value;
  return S_OK;
}

// DECIMAL from a number: at most 28 decimals and a 96-bit magnitude.
HRESULT ToDecimalValue(const Number& n, DECIMAL& out) {
  DecimalNumber d;
  switch (n.form) {
    case Number::Form::Integer:
      d = DecimalFromScaled(n.negative, n.magnitude, 0);
      break;
    case Number::Form::Real: {
      if (!std::isfinite(n.real)) return DISP_E_OVERFLOW;
      // The shortest text that reads back as the same double is the decimal meant.
      char buffer[64];
      const auto result = std::to_chars(buffer, buffer + sizeof buffer, n.real);
      const std::u16string wide(buffer, result.ptr);
      const std::optional<DecimalNumber> parsed = text::ParseDecimalText(wide);
      if (!parsed) return DISP_E_OVERFLOW;
      d = *parsed;
      break;
    }
    case Number::Form::Decimal: d = n.decimal; break;
  }
  std::memset(&out, 0, sizeof out);
  if (d.digits.empty()) return S_OK;
  // Too many decimals are rounded away; the magnitude must then fit 96 bits.
  int scale = d.exponent < 0 ? static_cast<int>(std::min<int64_t>(-d.exponent, 28)) : 0;
  for (;;) {
    unsigned __int128 magnitude = 0;
    const int64_t exponent = d.exponent + scale;
    const int64_t count = static_cast<int64_t>(d.digits.size());
    const int64_t integerDigits = count + exponent;
    if (integerDigits > 29) return DISP_E_OVERFLOW;
    for (int64_t i = 0; i < integerDigits; ++i) {
      magnitude = magnitude * 10 + (i < count ? static_cast<unsigned>(d.digits[static_cast<size_t>(i)] - '0') : 0);
    }
    if (exponent < 0 && integerDigits >= 0) {
      const char leading = d.digits[static_cast<size_t>(integerDigits)];
      const bool rest = static_cast<size_t>(integerDigits) + 1 < d.digits.size() || d.moreNonZero;
      if (leading > '5' || (leading == '5' && (rest || (magnitude & 1) != 0))) ++magnitude;
    }
    if ((magnitude >> 96) != 0) {
      if (scale == 0) return DISP_E_OVERFLOW;
      --scale;  // fewer decimals, smaller magnitude
      continue;
    }
    // One form per value: no trailing zero decimals, zero without scale or sign.
    while (scale > 0 && magnitude % 10 == 0) {
      magnitude /= 10;
      --scale;
    }
    out.scale = static_cast<BYTE>(scale);
    out.sign = magnitude != 0 && d.negative ? DECIMAL_NEG : 0;
    out.Hi32 = static_cast<ULONG>(magnitude >> 64);
    out.Lo64 = static_cast<ULONGLONG>(magnitude);
    return S_OK;
  }
}

bool IsSignedTarget(VARTYPE type) {
  return type == VT_I1 || type == VT_I2 || type == VT_I4 || type == VT_INT || type == VT_I8;
}
bool IsUnsignedTarget(VARTYPE type) {
  return type == VT_UI1 || type == VT_UI2 || type == VT_UI4 || type == VT_UINT || type == VT_UI8;
}
bool IsNumberTarget(VARTYPE type) {
  return IsSignedTarget(type) || IsUnsignedTarget(type) || type == VT_R4 || type == VT_R8 || type == VT_CY ||
         type == VT_DATE || type == VT_DECIMAL;
}

bool IsSupportedTarget(VARTYPE type) {
  return IsNumberTarget(type) || type == VT_EMPTY || type == VT_NULL || type == VT_BSTR || type == VT_BOOL ||
         type == VT_ERROR || type == VT_UNKNOWN || type == VT_DISPATCH || type == VT_RECORD;
}

// Writes a number into a cleared result of the target type.
HRESULT StoreNumber(const Number& n, VARTYPE type, VARIANT& result) {
  HRESULT hr = DISP_E_TYPEMISMATCH;
  switch (type) {
    case VT_I1: {
      int8_t value = 0;
      hr = ToSigned(n, value);
      result.cVal = static_cast<CHAR>(value);
      break;
    }
    case VT_I2: hr = ToSigned(n, result.iVal); break;
    case VT_I4: hr = ToSigned(n, result.lVal); break;
    case VT_INT: hr = ToSigned(n, result.intVal); break;
    case VT_I8: hr = ToSigned(n, result.llVal); break;
    case VT_UI1: hr = ToUnsigned(n, result.bVal); break;
    case VT_UI2: hr = ToUnsigned(n, result.uiVal); break;
    case VT_UI4: hr = ToUnsigned(n, result.ulVal); break;
    case VT_UINT: hr = ToUnsigned(n, result.uintVal); break;
    case VT_UI8: hr = ToUnsigned(n, result.ullVal); break;
    case VT_R4: hr = ToSingle(n, result.fltVal); break;
    case VT_R8: hr = ToReal(n, result.dblVal); break;
    case VT_DATE: hr = ToDate(n, result.date); break;
    case VT_CY: hr = ToCurrency(n, result.cyVal.int64); break;
    case VT_DECIMAL: hr = ToDecimalValue(n, result.decVal); break;
    case VT_BOOL:
      result.boolVal = IsZero(n) ? VARIANT_FALSE : VARIANT_TRUE;
      hr = S_OK;
      break;
    default: break;
  }
  if (SUCCEEDED(hr)) result.vt = type;
  return hr;
}

// The number a by-value source holds, when it is number-like.
std::optional<Number> NumberOf(const VARIANT& value) {
  switch (value.vt) {
    case VT_EMPTY: return FromSigned(0);
    case VT_I1: return FromSigned(static_cast<int8_t>(value.cVal));
    case VT_I2: return FromSigned(value.iVal);
    case VT_I4: return FromSigned(value.lVal);
    case VT_INT: return FromSigned(value.intVal);
    case VT_I8:
    case VT_INT_PTR: return FromSigned(value.llVal);
    case VT_UI1: return FromUnsigned(value.bVal);
    case VT_UI2: return FromUnsigned(value.uiVal);
    case VT_UI4: return FromUnsigned(value.ulVal);
    case VT_UINT: return FromUnsigned(value.uintVal);
    case VT_UI8:
    case VT_UINT_PTR: return FromUnsigned(value.ullVal);
    case VT_BOOL: return FromSigned(value.boolVal ? -1 : 0);
    case VT_R4: return FromReal(value.fltVal);
    case VT_R8: return FromReal(value.dblVal);
    case VT_DATE: return FromReal(value.date);
    case VT_CY: return FromDecimal(DecimalFromCurrency(value.cyVal.int64));
    case VT_DECIMAL: {
      std::optional<DecimalNumber> d = DecimalFromDecimal(value.decVal);
      if (!d) return std::nullopt;
      return FromDecimal(std::move(*d));
    }
    default: return std::nullopt;
  }
}

HRESULT StoreText(std::u16string_view text, VARIANT& result) {
  result.bstrVal = quorlin::platform::BstrFromUtf16(text);
  if (!result.bstrVal) return E_OUTOFMEMORY;
  result.vt = VT_BSTR;
  return S_OK;
}

// The text form of a by-value source.
HRESULT ToText(const VARIANT& value, USHORT flags, VARIANT& result) {
  switch (value.vt) {
    case VT_EMPTY: return StoreText(u"", result);
    case VT_BOOL:
      if (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL)) return StoreText(value.boolVal ? u"True" : u"False", result);
      return StoreText(value.boolVal ? u"-1" : u"0", result);
    case VT_R4: return StoreText(text::FormatReal(value.fltVal, 7), result);
    case VT_R8: return StoreText(text::FormatReal(value.dblVal, 15), result);
    case VT_DATE:
      if (!text::IsDateInRange(value.date)) return DISP_E_OVERFLOW;
      return StoreText(text::FormatDate(value.date), result);
    case VT_CY: return StoreText(text::FormatCurrency(value.cyVal.int64), result);
    case VT_DECIMAL: {
      const std::optional<DecimalNumber> d = DecimalFromDecimal(value.decVal);
      if (!d) return DISP_E_TYPEMISMATCH;
      return StoreText(text::FormatDecimal(*d), result);
    }
    default: break;
  }
  const std::optional<Number> n = NumberOf(value);
  if (!n || n->form != Number::Form::Integer) return DISP_E_TYPEMISMATCH;
  std::u16string digits = n->negative ? u"-" : u"";
  digits += text::FormatUnsigned(n->magnitude);
  return StoreText(digits, result);
}

// A BSTR source changed to a number, a boolean or a date.
HRESULT FromText(std::u16string_view source, VARTYPE type, VARIANT& result) {
  if (type == VT_DATE) {
    const std::optional<double> date = text::ParseDateText(source);
    if (!date) return DISP_E_TYPEMISMATCH;
    result.date = *date;
    result.vt = VT_DATE;
    return S_OK;
  }
  if (type == VT_BOOL) {
    const std::u16string_view trimmed = text::TrimBlanks(source);
    if (text::EqualsIgnoringAsciiCase(trimmed, "true") || text::EqualsIgnoringAsciiCase(trimmed, "false")) {
      result.boolVal = text::EqualsIgnoringAsciiCase(trimmed, "true") ? VARIANT_TRUE : VARIANT_FALSE;
      result.vt = VT_BOOL;
      return S_OK;
    }
  }
  std::optional<DecimalNumber> number = text::ParseDecimalText(source);
  if (!number) return DISP_E_TYPEMISMATCH;
  return StoreNumber(FromDecimal(std::move(*number)), type, result);
}

// Booleans become all-ones in the unsigned types, as on the platform (VARIANT_TRUE's bits).
HRESULT BoolToUnsigned(VARIANT_BOOL value, VARTYPE type, VARIANT& result) {
  const uint64_t bits = value ? ~uint64_t{0} : 0;
  result.ullVal = 0;
  switch (type) {
    case VT_UI1: result.bVal = static_cast<BYTE>(bits); break;
    case VT_UI2: result.uiVal = static_cast<USHORT>(bits); break;
    case VT_UI4:
    case VT_UINT: result.ulVal = static_cast<ULONG>(bits); break;
    default: result.ullVal = bits; break;
  }
  result.vt = type;
  return S_OK;
}

HRESULT ChangeValue(const VARIANT& value, VARTYPE type, LCID locale, USHORT flags, VARIANT& result, int depth);

// An object source through its default property (DISPID_VALUE), one level deep.
HRESULT ThroughDefaultProperty(const VARIANT& value, VARTYPE type, LCID locale, USHORT flags, VARIANT& result,
                               int depth) {
  if ((flags & VARIANT_NOVALUEPROP) || depth > 0 || !value.punkVal) return DISP_E_TYPEMISMATCH;
  IDispatch* dispatch = nullptr;
  if (FAILED(value.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) || !dispatch) {
    return DISP_E_TYPEMISMATCH;
  }
  DISPPARAMS noArguments{nullptr, nullptr, 0, 0};
  VARIANT property;
  VariantInit(&property);
  HRESULT hr = dispatch->Invoke(DISPID_VALUE, IID_NULL, locale, DISPATCH_PROPERTYGET, &noArguments, &property,
                                nullptr, nullptr);
  dispatch->Release();
  if (FAILED(hr)) {
    VariantClear(&property);
    return DISP_E_TYPEMISMATCH;
  }
  VARIANT direct;
  VariantInit(&direct);
  hr = VariantCopyInd(&direct, &property);
  VariantClear(&property);
  if (FAILED(hr)) return hr;
  if (direct.vt == type) {
    std::memcpy(&result, &direct, sizeof(VARIANT));
    return S_OK;
  }
  hr = ChangeValue(direct, type, locale, flags, result, depth + 1);
  VariantClear(&direct);
  return hr;
}

HRESULT ToInterface(const VARIANT& value, VARTYPE type, VARIANT& result) {
  if (value.vt == VT_EMPTY) {
    result.punkVal = nullptr;
    result.vt = type;
    return S_OK;
  }
  if (value.vt != VT_UNKNOWN && value.vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
  if (!value.punkVal) {
    result.punkVal = nullptr;
    result.vt = type;
    return S_OK;
  }
  const IID& iid = type == VT_DISPATCH ? IID_IDispatch : IID_IUnknown;
  void* object = nullptr;
  if (FAILED(value.punkVal->QueryInterface(iid, &object)) || !object) return DISP_E_TYPEMISMATCH;
  result.punkVal = static_cast<IUnknown*>(object);
  result.vt = type;
  return S_OK;
}

// Changes a by-value source of another type into the cleared result.
HRESULT ChangeValue(const VARIANT& value, VARTYPE type, LCID locale, USHORT flags, VARIANT& result, int depth) {
  const VARTYPE from = value.vt;
  if (from == VT_RECORD || (from & VT_ARRAY) || (type & VT_ARRAY) || type == VT_RECORD) return DISP_E_TYPEMISMATCH;
  if (type == VT_EMPTY) return S_OK;
  if (type == VT_NULL) {
    if (from != VT_EMPTY) return DISP_E_TYPEMISMATCH;
    result.vt = VT_NULL;
    return S_OK;
  }
  if (type == VT_UNKNOWN || type == VT_DISPATCH) return ToInterface(value, type, result);
  if (from == VT_UNKNOWN || from == VT_DISPATCH) {
    return ThroughDefaultProperty(value, type, locale, flags, result, depth);
  }
  if (from == VT_NULL || from == VT_ERROR || type == VT_ERROR) return DISP_E_TYPEMISMATCH;
  if (type == VT_BSTR) return ToText(value, flags, result);
  if (from == VT_BSTR) return FromText(quorlin::platform::BstrView(value.bstrVal), type, result);
  if (from == VT_BOOL && IsUnsignedTarget(type)) return BoolToUnsigned(value.boolVal, type, result);
  const std::optional<Number> n = NumberOf(value);
  if (!n) return DISP_E_TYPEMISMATCH;
  return StoreNumber(*n, type, result);
}

}  // namespace

HRESULT VariantChangeType(VARIANTARG* destination, const VARIANTARG* source, USHORT flags, VARTYPE type) {
  return VariantChangeTypeEx(destination, source, LOCALE_USER_DEFAULT, flags, type);
}

HRESULT VariantChangeTypeEx(VARIANTARG* destination, const VARIANTARG* source, LCID locale, USHORT flags,
                            VARTYPE type) {
  if (!destination || !source) return E_INVALIDARG;
  const VARTYPE base = type & ~VT_ARRAY;
  if ((type & VT_BYREF) || !quorlin::platform::IsValidVariantType(type) ||
      (!(type & VT_ARRAY) && !IsSupportedTarget(base))) {
    return DISP_E_BADVARTYPE;
  }

  // A copy with references followed: the source may be the destination, or live inside it.
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = VariantCopyInd(&value, source);
  if (FAILED(hr)) return hr;

  VARIANT result;
  VariantInit(&result);
  if (value.vt == type) {
    std::memcpy(&result, &value, sizeof(VARIANT));
  } else {
    hr = ChangeValue(value, type, locale, flags, result, 0);
    VariantClear(&value);
    if (FAILED(hr)) {
      VariantClear(&result);
      return hr;
    }
  }
  hr = VariantClear(destination);
  if (FAILED(hr)) {
    VariantClear(&result);
    return hr;
  }
  std::memcpy(destination, &result, sizeof(VARIANT));
  return S_OK;
}
