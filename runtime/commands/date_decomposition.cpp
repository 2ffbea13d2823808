#include "runtime/commands/date_decomposition.h"

#include <cmath>
#include <cstdint>

#include "runtime/kernel/typed_value.h"

namespace quorlin::commands::detail {
namespace {

// Days between 1899-12-30 and 1970-01-01.
constexpr int64_t DaysBefore1970 = 25569;

// Proleptic Gregorian date of a day count relative to 1970-01-01 (H. Hinnant's algorithm).
void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

DateFields DecomposeDateTime(double value) {
  if (std::isnan(value)) value = 0;
  if (value < MinDateTime) value = MinDateTime;
  if (value > MaxDateTime) value = MaxDateTime;
  const double whole = std::trunc(value);
  int64_t dayIndex = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(std::fabs(value - whole) * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++dayIndex;
  }
  DateFields fields{};
  CivilFromDays(dayIndex - DaysBefore1970, fields.year, fields.month, fields.day);
  fields.hour = static_cast<int>(seconds / 3600);
  fields.minute = static_cast<int>(seconds / 60 % 60);
  fields.second = static_cast<int>(seconds % 60);
  return fields;
}

}  // namespace quorlin::commands::detail
