// Calendar fields of a date-time value: days since 1899-12-30, the fraction being the time of
// day (for a negative value too: -1.25 is 1899-12-29 06:00). The value is clamped to the
// years 100 to 9999 and rounded to the nearest second.
#pragma once

namespace quorlin::commands::detail {

struct DateFields {
  int year;
  int month;  // 1 .. 12
  int day;    // 1 .. 31
  int hour;
  int minute;
  int second;
};

DateFields DecomposeDateTime(double value);

}  // namespace quorlin::commands::detail
