#include "platform/com/variant_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace quorlin::platform {
namespace {

// More digits than a double or a 64-bit integer can use; the rest only matter as "non-zero".
constexpr size_t kKeptDigits = 800;
// Exponents beyond this make every value overflow or vanish alike.
constexpr int64_t kExponentLimit = 1'000'000'000;
constexpr int kDoubleDecimalRange = 400;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Reads 1 to maxDigits digits at `pos`.
std::optional<int> ReadField(std::u16string_view text, size_t& pos, size_t maxDigits) {
  int value = 0;
  size_t count = 0;
  while (pos < text.size() && IsDigit(text[pos]) && count < maxDigits) {
    value = value * 10 + (text[pos] - u'0');
    ++pos;
    ++count;
  }
  if (count == 0 || (pos < text.size() && IsDigit(text[pos]))) return std::nullopt;
  return value;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
}

const int64_t kDateEpochDays = DaysFromCivil(1899, 12, 30);

std::optional<int64_t> ReadDatePart(std::u16string_view text, size_t& pos) {
  const std::optional<int> year = ReadField(text, pos, 4);
  if (!year || pos >= text.size() || (text[pos] != u'-' && text[pos] != u'/')) return std::nullopt;
  const char16_t separator = text[pos++];
  const std::optional<int> month = ReadField(text, pos, 2);
  if (!month || pos >= text.size() || text[pos] != separator) return std::nullopt;
  ++pos;
  const std::optional<int> day = ReadField(text, pos, 2);
  if (!day || *year < 100 || *month < 1 || *month > 12 || *day < 1 || *day > DaysInMonth(*year, *month)) {
    return std::nullopt;
  }
  return DaysFromCivil(*year, *month, *day) - kDateEpochDays;
}

std::optional<int> ReadTimePart(std::u16string_view text, size_t& pos) {
  const std::optional<int> hours = ReadField(text, pos, 2);
  if (!hours || pos >= text.size() || text[pos] != u':') return std::nullopt;
  ++pos;
  const std::optional<int> minutes = ReadField(text, pos, 2);
  if (!minutes) return std::nullopt;
  int seconds = 0;
  if (pos < text.size() && text[pos] == u':') {
    ++pos;
    const std::optional<int> read = ReadField(text, pos, 2);
    if (!read) return std::nullopt;
    seconds = *read;
  }
  if (*hours > 23 || *minutes > 59 || seconds > 59) return std::nullopt;
  return *hours * 3600 + *minutes * 60 + seconds;
}

void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10);
  out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::u16string_view TrimBlanks(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<DecimalNumber> ParseDecimalText(std::u16string_view text) {
  text = TrimBlanks(text);
  DecimalNumber number;
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) number.negative = text[pos++] == u'-';

  // value = digits × 10^(positions after the last kept digit - digits after the point + exponent)
  size_t mantissaDigits = 0;
  int64_t fractionDigits = 0;
  int64_t positionsAfterKept = 0;
  auto addDigit = [&](char16_t c) {
    ++mantissaDigits;
    if (number.digits.empty() && positionsAfterKept == 0 && c == u'0') return;  // leading zero
    if (c == u'0') {
      ++positionsAfterKept;
    } else if (number.digits.size() + static_cast<size_t>(positionsAfterKept) < kKeptDigits) {
      number.digits.append(static_cast<size_t>(positionsAfterKept), '0');
      number.digits += static_cast<char>(c);
      positionsAfterKept = 0;
    } else {
      number.moreNonZero = true;
      ++positionsAfterKept;
    }
  };
  while (pos < text.size() && IsDigit(text[pos])) addDigit(text[pos++]);
  if (pos < text.size() && text[pos] == u'.') {
    ++pos;
    while (pos < text.size() && IsDigit(text[pos])) {
      addDigit(text[pos++]);
      ++fractionDigits;
    }
  }
  if (mantissaDigits == 0) return std::nullopt;

  int64_t exponent = 0;
  if (pos < text.size() && (text[pos] == u'e' || text[pos] == u'E')) {
    ++pos;
    bool negativeExponent = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) negativeExponent = text[pos++] == u'-';
    const size_t exponentStart = pos;
    while (pos < text.size() && IsDigit(text[pos])) {
      if (exponent < kExponentLimit) exponent = exponent * 10 + (text[pos] - u'0');
      ++pos;
    }
    if (pos == exponentStart) return std::nullopt;
    if (negativeExponent) exponent = -exponent;
  }
  if (pos != text.size()) return std::nullopt;

  if (number.digits.empty()) return DecimalNumber{};
  number.exponent = exponent - fractionDigits + positionsAfterKept;
  return number;
}

std::optional<uint64_t> RoundedMagnitude(const DecimalNumber& number, int scale) {
  if (number.digits.empty()) return 0;
  const int64_t exponent = number.exponent + scale;
  const int64_t count = static_cast<int64_t>(number.digits.size());
  // Integer digits: all of them followed by `exponent` zeros, or the first count + exponent.
  const int64_t integerDigits = count + exponent;
  if (integerDigits > 20) return std::nullopt;
  uint64_t magnitude = 0;
  for (int64_t i = 0; i < integerDigits; ++i) {
    const uint64_t digit = i < count ? static_cast<uint64_t>(number.digits[static_cast<size_t>(i)] - '0') : 0;
    if (__builtin_mul_overflow(magnitude, 10u, &magnitude) || __builtin_add_overflow(magnitude, digit, &magnitude)) {
      return std::nullopt;
    }
  }
  if (exponent >= 0) return magnitude;

  // The dropped fraction decides: above one half rounds up, exactly one half to even.
  bool roundUp = false;
  if (integerDigits >= 0) {
    const size_t first = static_cast<size_t>(integerDigits);
    const char leading = number.digits[first];
    const bool restNonZero = first + 1 < number.digits.size() || number.moreNonZero;
    roundUp = leading > '5' || (leading == '5' && (restNonZero || (magnitude & 1) != 0));
  }
  if (roundUp && __builtin_add_overflow(magnitude, 1u, &magnitude)) return std::nullopt;
  return magnitude;
}

std::optional<double> DecimalToDouble(const DecimalNumber& number) {
  if (number.digits.empty()) return 0.0;
  const int64_t magnitudeOrder = static_cast<int64_t>(number.digits.size()) + number.exponent;
  if (magnitudeOrder > kDoubleDecimalRange) return std::nullopt;
  if (magnitudeOrder < -kDoubleDecimalRange) return number.negative ? -0.0 : 0.0;
  std::string text = number.digits;
  // A trailing 1 stands for the dropped non-zero digits, so rounding sees them.
  int64_t exponent = number.exponent;
  if (number.moreNonZero) {
    text += '1';
    --exponent;
  }
  text += 'e';
  text += std::to_string(exponent);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    if (magnitudeOrder > 0) return std::nullopt;
    value = 0;
  } else if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return number.negative ? -value : value;
}

double RoundHalfEven(double value) {
  double rounded = std::floor(value);
  const double fraction = value - rounded;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0)) rounded += 1;
  return rounded;
}

std::u16string FormatSigned(int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Widen(std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)));
}

std::u16string FormatUnsigned(uint64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Widen(std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)));
}

std::u16string FormatReal(double value, int significantDigits) {
  if (value == 0) return u"0";  // also -0
  if (std::isnan(value)) return u"NaN";
  if (std::isinf(value)) return value < 0 ? u"-Infinity" : u"Infinity";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
  std::u16string text = Widen(std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)));
  for (char16_t& c : text) {
    if (c == u'e') c = u'E';
  }
  return text;
}

std::u16string FormatCurrency(int64_t scaled) {
  const bool negative = scaled < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  std::u16string text = negative ? u"-" : u"";
  text += FormatUnsigned(magnitude / 10000);
  unsigned fraction = static_cast<unsigned>(magnitude % 10000);
  if (fraction != 0) {
    std::string decimals = {static_cast<char>('0' + fraction / 1000), static_cast<char>('0' + fraction / 100 % 10),
                            static_cast<char>('0' + fraction / 10 % 10), static_cast<char>('0' + fraction % 10)};
    while (decimals.back() == '0') decimals.pop_back();
    text += u'.';
    text += Widen(decimals);
  }
  return text;
}

std::u16string FormatDecimal(const DecimalNumber& number) {
  if (number.digits.empty()) return u"0";
  std::string text = number.negative ? "-" : "";
  const int64_t count = static_cast<int64_t>(number.digits.size());
  if (number.exponent >= 0) {
    text += number.digits;
    text.append(static_cast<size_t>(number.exponent), '0');
  } else if (count + number.exponent > 0) {
    const size_t split = static_cast<size_t>(count + number.exponent);
    text += number.digits.substr(0, split);
    text += '.';
    text += number.digits.substr(split);
  } else {
    text += "0.";
    text.append(static_cast<size_t>(-(count + number.exponent)), '0');
    text += number.digits;
  }
  return Widen(text);
}

bool IsDateInRange(double date) { return date > kDateMinExclusive && date < kDateMaxExclusive; }

std::optional<double> ParseDateText(std::u16string_view text) {
  text = TrimBlanks(text);
  size_t pos = 0;
  std::optional<int64_t> day;
  std::optional<int> seconds;
  size_t probe = 0;
  if (ReadField(text, probe, 4) && probe < text.size() && (text[probe] == u'-' || text[probe] == u'/')) {
    day = ReadDatePart(text, pos);
    if (!day) return std::nullopt;
    if (pos < text.size()) {
      if (text[pos] != u' ' && text[pos] != u'T') return std::nullopt;
      ++pos;
      while (pos < text.size() && text[pos] == u' ') ++pos;
      seconds = ReadTimePart(text, pos);
      if (!seconds) return std::nullopt;
    }
  } else {
    seconds = ReadTimePart(text, pos);
    if (!seconds) return std::nullopt;
  }
  if (pos != text.size()) return std::nullopt;
  const double whole = static_cast<double>(day.value_or(0));
  const double time = seconds.value_or(0) / 86400.0;
  return whole >= 0 ? whole + time : whole - time;
}

std::u16string FormatDate(double date) {
  double whole = std::trunc(date);
  int64_t seconds = static_cast<int64_t>(std::floor(std::fabs(date - whole) * 86400.0 + 0.5));
  if (seconds >= 86400) {
    // The time rounded up to midnight of the next calendar day (day numbers run forward on
    // both sides of day 0); the last day of the range keeps its last second instead.
    if (whole + 1 < kDateMaxExclusive) {
      whole += 1;
      seconds = 0;
    } else {
      seconds = 86399;
    }
  }
  std::string text;
  const bool showDate = whole != 0;
  if (showDate) {
    int year, month, day;
    CivilFromDays(static_cast<int64_t>(whole) + kDateEpochDays, year, month, day);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-", year);
    text += buffer;
    AppendTwoDigits(text, month);
    text += '-';
    AppendTwoDigits(text, day);
  }
  if (!showDate || seconds != 0) {
    if (showDate) text += ' ';
    AppendTwoDigits(text, static_cast<int>(seconds / 3600));
    text += ':';
    AppendTwoDigits(text, static_cast<int>(seconds / 60 % 60));
    text += ':';
    AppendTwoDigits(text, static_cast<int>(seconds % 60));
  }
  return Widen(text);
}

bool EqualsIgnoringAsciiCase(std::u16string_view text, std::string_view ascii) {
  if (text.size() != ascii.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    char a = ascii[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (c != static_cast<unsigned char>(a)) return false;
  }
  return true;
}

}  // namespace quorlin::platform
