#include "common/date.h"

namespace pendra {

const char* const kMonthNames[13] = {"",    "jan", "feb", "mar", "apr", "may", "jun",
                                     "jul", "aug", "sep", "oct", "nov", "dec"};
const char* const kWeekdayNames[8] = {"", "sun", "mon", "tue", "wed", "thu", "fri", "sat"};

namespace {

// Days before month m (1..13) in a common year; index 13 is the whole year.
constexpr int32_t kDaysBeforeMonth[14] = {0,   0,   31,  59,  90,  120, 151,
                                          181, 212, 243, 273, 304, 334, 365};

// Leap years in 1..y (y >= 0).
constexpr int64_t leapsThrough(int64_t y) { return y / 4 - y / 100 + y / 400; }

// Day number of 1 January of the given year (year >= 1).
constexpr int64_t yearStart(int64_t year) {
  return (year - 1800) * 365 + leapsThrough(year - 1) - leapsThrough(1799);
}

// Lowest day number we convert back: 1 January of the year 1.
constexpr int64_t kFirstDay = yearStart(1);
static_assert(yearStart(2000) == 73048);

}  // namespace

bool isLeapYear(uint32_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

uint8_t daysInMonth(uint8_t month, uint32_t year) {
  switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
      return 31;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    case 2:
      return isLeapYear(year) ? 29 : 28;
    default:
      return 0;
  }
}

uint8_t weekdayOf(uint8_t day, uint8_t month, uint32_t year) {
  uint32_t a = (14u - month) / 12u;
  uint32_t y = year - a;
  uint32_t m = month + 12u * a - 2u;
  uint32_t w = (day + y + y / 4 - y / 100 + y / 400 + (31u * m) / 12u) % 7u;
  return static_cast<uint8_t>(w + 1);
}

uint8_t nthWeekdayOfMonth(uint8_t n, uint8_t weekday, uint8_t month, uint32_t year) {
  uint8_t length = daysInMonth(month, year);
  if (length == 0 || weekday < 1 || weekday > 7 || n < 1 || n > 6) return 0;
  int first = 1 + (weekday - weekdayOf(1, month, year) + 7) % 7;
  if (n == 6) {
    int fifth = first + 28;
    return static_cast<uint8_t>(fifth <= length ? fifth : first + 21);
  }
  int day = first + 7 * (n - 1);
  return day <= length ? static_cast<uint8_t>(day) : 0;
}

int64_t Date::dayNumber() const {
  // The walk over the months adds nothing for month 0 and the whole year
  // for months past 12; keep that for patterns that reach here.
  int m = month > 13 ? 13 : month < 1 ? 1 : month;
  int64_t n = yearStart(year) + kDaysBeforeMonth[m];
  if (m > 2 && isLeapYear(year)) n += 1;
  return n + day - 1;
}

void Date::fromDayNumber(int64_t number) {
  int64_t n = number < kFirstDay ? kFirstDay : number;
  // Civil-from-days over 400-year eras (146097 days), counted from
  // 1 March of the year 0 so that the leap day ends each year.
  int64_t z = n - kFirstDay + 306;  // 1 March 0 is 306 days before 1 January 1
  int64_t era = z / 146097;
  int64_t doe = z - era * 146097;                                       // [0, 146096]
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);                // [0, 365]
  int64_t mp = (5 * doy + 2) / 153;                                     // March = 0
  day = static_cast<uint8_t>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<uint8_t>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<uint32_t>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  // 1 January 1800 (day 0) was a Wednesday (4).
  weekday = static_cast<uint8_t>(((n % 7) + 7 + 3) % 7 + 1);
}

int32_t Date::monthNumber() const {
  return static_cast<int32_t>((static_cast<int64_t>(year) - 1800) * 12 + month - 1);
}

bool Date::isValid() const {
  return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(month, year) && year >= 1;
}

void Date::nextMonth() {
  if (++month == 13) {
    month = 1;
    ++year;
  }
}

void Date::previousMonth() {
  if (--month == 0) {
    month = 12;
    --year;
  }
}

void Date::nextDay() {
  if (++day > daysInMonth(month, year)) {
    day = 1;
    nextMonth();
  }
}

void Date::previousDay() {
  if (--day == 0) {
    previousMonth();
    day = daysInMonth(month, year);
  }
}

// Both jump through day numbers for real dates, which is what stepping one
// day at a time gives; anything else takes the plain walk.
void Date::addDays(int32_t count) {
  if (count <= 0) return;
  if (!isValid()) {
    while (count-- > 0) nextDay();
    return;
  }
  uint8_t keep = weekday;
  fromDayNumber(dayNumber() + count);
  weekday = keep;
}

void Date::subtractDays(int32_t count) {
  if (count <= 0) return;
  if (!isValid()) {
    while (count-- > 0) previousDay();
    return;
  }
  uint8_t keep = weekday;
  fromDayNumber(dayNumber() - count);
  weekday = keep;
}

bool Date::matches(const Date& date) const {
  if (year != 0 && year != date.year) return false;
  if (month != 0 && month != date.month) return false;
  if (day != 0 && day != date.day) return false;
  if (weekday != 0 && weekday != date.weekday) return false;
  return true;
}

uint32_t packDate(uint8_t day, uint8_t month, uint32_t year) {
  return (static_cast<uint32_t>(day) << 22) | (static_cast<uint32_t>(month) << 18) | (year << 2) |
         3u;
}

Date unpackDate(uint32_t word) {
  return Date(static_cast<uint8_t>((word >> 22) & 0xff), static_cast<uint8_t>((word >> 18) & 0xf),
              (word >> 2) & 0xffff);
}

}  // namespace pendra
