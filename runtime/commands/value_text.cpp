#include "runtime/commands/value_text.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "runtime/commands/date_decomposition.h"
#include "runtime/kernel/blocks.h"

namespace quorlin::commands::detail {
namespace {

// GBK texts of the runtime.
constexpr const char* TrueText = "\xD5\xE6";   // 真
constexpr const char* FalseText = "\xBC\xD9";  // 假
constexpr const char* YearMark = "\xC4\xEA";   // 年
constexpr const char* MonthMark = "\xD4\xC2";  // 月
constexpr const char* DayMark = "\xC8\xD5";    // 日
constexpr const char* HourMark = "\xCA\xB1";   // 时
constexpr const char* MinuteMark = "\xB7\xD6"; // 分
constexpr const char* SecondMark = "\xC3\xEB"; // 秒

template <typename... T>
std::string Format(const char* format, T... values) {
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, format, values...);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n) < sizeof buffer ? static_cast<size_t>(n) : sizeof buffer - 1)
               : std::string();
}

std::string DateTimeText(double value) {
  const DateFields f = DecomposeDateTime(value);
  std::string text = Format("%d", f.year) + YearMark + Format("%d", f.month) + MonthMark + Format("%d", f.day) + DayMark;
  if (f.second != 0) {
    text += Format("%d", f.hour) + HourMark + Format("%d", f.minute) + MinuteMark + Format("%d", f.second) + SecondMark;
  } else if (f.minute != 0) {
    text += Format("%d", f.hour) + HourMark + Format("%d", f.minute) + MinuteMark;
  } else if (f.hour != 0) {
    text += Format("%d", f.hour) + HourMark;
  }
  return text;
}

// The bytes of a run of memory up to its first 0 byte.
char* TextUpToZero(const uint8_t* bytes, size_t count) {
  const void* zero = count ? std::memchr(bytes, 0, count) : nullptr;
  const size_t length = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - bytes) : count;
  return NewText(reinterpret_cast<const char*>(bytes), length);
}

bool IsPlainNumberElement(uint32_t elementTag) {
  return IsNumericTag(elementTag) || elementTag == Tag::Boolean || elementTag == Tag::DateTime;
}

}  // namespace

std::string ScalarText(const TypedValue& value) {
  switch (value.tag) {
    case Tag::Byte: return Format("%u", static_cast<unsigned>(static_cast<uint8_t>(value.low)));
    case Tag::Short: return Format("%d", static_cast<int>(static_cast<int16_t>(value.low)));
    case Tag::Integer: return Format("%d", static_cast<int>(static_cast<int32_t>(value.low)));
    case Tag::Long: return Format("%" PRId64, static_cast<int64_t>(Value64(value)));
    case Tag::Float: return Format("%.6g", static_cast<double>(FloatOf(value)));
    case Tag::Double: return Format("%.13g", DoubleOf(value));
    case Tag::Boolean: return value.low != 0 ? TrueText : FalseText;
    case Tag::DateTime: return DateTimeText(DoubleOf(value));
    default: return {};
  }
}

char* NewTextOfValue(const TypedValue& value) {
  if (value.tag == Tag::Text) return NewText(TextView(PointerOf<const char>(value)));
  if (value.tag == Tag::ByteSet) {
    const void* block = PointerOf(value);
    return TextUpToZero(ByteSetData(block), ByteSetLength(block));
  }
  if (IsArrayTag(value.tag)) {
    const uint32_t elementTag = ArrayElementTag(value.tag);
    if (!IsPlainNumberElement(elementTag)) return nullptr;
    const ArrayShape shape = ReadArrayShape(PointerOf(value));
    return TextUpToZero(shape.elements, shape.elementCount * BaseTypeSize(elementTag));
  }
  return NewText(ScalarText(value));
}

}  // namespace quorlin::commands::detail
