// Calendar dates over the proleptic Gregorian calendar.
//
// One small value type serves two roles: a concrete day (every field set) and
// a pattern in which a zero field means "any". Day numbers count days from
// 1 January 1800 (day 0); earlier dates have negative day numbers.
#ifndef PENDRA_COMMON_DATE_H_
#define PENDRA_COMMON_DATE_H_

#include <cstdint>

namespace pendra {

// Weekdays are 1 = Sunday .. 7 = Saturday; months 1 .. 12.
// Intentionally copyable.
struct Date {
  uint8_t day = 0;      // 1..31; 0 = any
  uint8_t weekday = 0;  // 1..7; 0 = any or not computed
  uint8_t month = 0;    // 1..12; 0 = any
  uint32_t year = 0;    // full year number; 0 = any

  constexpr Date() = default;
  constexpr Date(uint8_t d, uint8_t m, uint32_t y) : day(d), month(m), year(y) {}

  // Days since 1 January 1800 (that day is 0); negative before it. Constant
  // time. Months outside 1..12 and days outside the month are counted the
  // way the plain walk over years and months counts them. 64 bits: every
  // year a uint32_t holds has its number.
  int64_t dayNumber() const;
  // Sets day, month, year and weekday from a day number. Numbers before
  // 1 January of the year 1 are clamped to that day.
  void fromDayNumber(int64_t n);
  static Date fromNumber(int64_t n) {
    Date d;
    d.fromDayNumber(n);
    return d;
  }
  // Months since January 1800: (year - 1800) * 12 + month - 1.
  int32_t monthNumber() const;

  // Stepping keeps the weekday field as it was (stale); recompute it with
  // weekdayOf when it is needed.
  void nextDay();
  void previousDay();
  // count times nextDay / previousDay; a count of 0 or less does nothing.
  void addDays(int32_t count);
  void subtractDays(int32_t count);
  void nextMonth();
  void previousMonth();

  // Pattern test, the receiver being the pattern: every non-zero field of
  // the pattern must equal the date's.
  bool matches(const Date& date) const;
  // Day, month and year equal; the weekday is ignored.
  bool sameDay(const Date& other) const {
    return day == other.day && month == other.month && year == other.year;
  }
  // True when the month is 1..12 and the day lies within it.
  bool isValid() const;
};

bool isLeapYear(uint32_t year);
// 28..31, or 0 when the month is outside 1..12.
uint8_t daysInMonth(uint8_t month, uint32_t year);
// 1..7 (1 = Sunday) for months 1..12.
uint8_t weekdayOf(uint8_t day, uint8_t month, uint32_t year);
// Day of the month of the n-th given weekday (n = 1..5, 6 = last), or 0 when
// there is none. "last" is the fifth occurrence if any, else the fourth.
uint8_t nthWeekdayOfMonth(uint8_t n, uint8_t weekday, uint8_t month, uint32_t year);
// The local calendar date; the weekday is left 0.
Date today();

// A date as one 32-bit word: (day << 22) | (month << 18) | (year << 2) | 3.
// Years of 65536 and above do not fit.
uint32_t packDate(uint8_t day, uint8_t month, uint32_t year);
inline uint32_t packDate(const Date& d) { return packDate(d.day, d.month, d.year); }
// The weekday of the result is 0.
Date unpackDate(uint32_t word);

// Three-letter lower-case names: kMonthNames[1] = "jan", kWeekdayNames[1] = "sun".
extern const char* const kMonthNames[13];
extern const char* const kWeekdayNames[8];

}  // namespace pendra

#endif  // PENDRA_COMMON_DATE_H_
