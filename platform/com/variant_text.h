// The text forms of VariantChangeType: numbers, currency and dates to and from UTF-16 text,
// independent of the process locale.
//
// Numbers are read in the form [+|-]digits[.digits][(e|E)[+|-]digits] (digits on at least one
// side of the point), dates as "YYYY-MM-DD", "HH:MM[:SS]" or both separated by a blank or "T"
// ("/" may separate the date's fields too). Blanks (space, tab, CR, LF) may surround the text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorlin::platform {

// A decimal number: (-1 if negative) × digits × 10^exponent, digits without leading or trailing
// zeros ("" is zero). Very long texts keep their leading digits; moreNonZero tells that a
// non-zero digit was dropped after them.
struct DecimalNumber {
  bool negative = false;
  std::string digits;
  int64_t exponent = 0;
  bool moreNonZero = false;
};

std::u16string_view TrimBlanks(std::u16string_view text);
std::optional<DecimalNumber> ParseDecimalText(std::u16string_view text);

// The magnitude of number × 10^scale rounded half to even; nothing when it exceeds 64 bits.
std::optional<uint64_t> RoundedMagnitude(const DecimalNumber& number, int scale);
// Nothing when the magnitude exceeds the double range; tiny values become 0.
std::optional<double> DecimalToDouble(const DecimalNumber& number);

// Round half to even, the platform's rounding of a real to an integer.
double RoundHalfEven(double value);

std::u16string FormatSigned(int64_t value);
std::u16string FormatUnsigned(uint64_t value);
// Up to `significantDigits` digits, exponent form ("1E+20") where %G would use it.
std::u16string FormatReal(double value, int significantDigits);
// A currency value (units of 1/10 000) with the decimals it needs: "12", "-0.5", "3.1416".
std::u16string FormatCurrency(int64_t scaled);
// digits × 10^exponent written out in plain decimal form.
std::u16string FormatDecimal(const DecimalNumber& number);

// Dates are days since 1899-12-30; the fraction's magnitude is the time of day.
inline constexpr double kDateMinExclusive = -657435.0;  // before 0100-01-01
inline constexpr double kDateMaxExclusive = 2958466.0;  // after 9999-12-31
bool IsDateInRange(double date);
std::optional<double> ParseDateText(std::u16string_view text);
// "YYYY-MM-DD HH:MM:SS"; the time alone on day 0, the date alone at midnight.
std::u16string FormatDate(double date);

bool EqualsIgnoringAsciiCase(std::u16string_view text, std::string_view ascii);

}  // namespace quorlin::platform
