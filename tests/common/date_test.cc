#include "common/date.h"

#include <climits>

#include "gtest/gtest.h"

namespace {

using pendra::Date;

// The plain walks over years and months that the constant-time conversions
// replace, written out step by step.
uint32_t WalkDayNumber(const Date& d) {
  uint32_t n = (d.year - 1800) * 365;
  for (uint32_t y = 1800; y < d.year; ++y) n += pendra::isLeapYear(y) ? 1 : 0;
  for (uint8_t k = 1; k < d.month; ++k) n += pendra::daysInMonth(k, d.year);
  return n + d.day - 1;
}

Date WalkFromDayNumber(uint32_t n) {
  Date d;
  d.year = 1800;
  while (n >= 365u + (pendra::isLeapYear(d.year) ? 1 : 0)) {
    n -= 365u + (pendra::isLeapYear(d.year) ? 1 : 0);
    ++d.year;
  }
  d.month = 1;
  while (n >= pendra::daysInMonth(d.month, d.year)) n -= pendra::daysInMonth(d.month++, d.year);
  d.day = static_cast<uint8_t>(n + 1);
  d.weekday = pendra::weekdayOf(d.day, d.month, d.year);
  return d;
}

uint8_t WalkNthWeekday(uint8_t n, uint8_t weekday, uint8_t month, uint32_t year) {
  if (n == 6) {
    uint8_t fifth = WalkNthWeekday(5, weekday, month, year);
    return fifth != 0 ? fifth : WalkNthWeekday(4, weekday, month, year);
  }
  for (uint8_t day = 1; day <= pendra::daysInMonth(month, year); ++day)
    if (pendra::weekdayOf(day, month, year) == weekday && --n == 0) return day;
  return 0;
}

bool SameDate(const Date& a, const Date& b) { return a.sameDay(b) && a.weekday == b.weekday; }

TEST(Date, KnownDays) {
  Date d(1, 1, 1800);
  EXPECT_EQ(0, d.dayNumber());
  EXPECT_EQ(4, pendra::weekdayOf(1, 1, 1800));  // Wednesday
  EXPECT_EQ(73048, Date(1, 1, 2000).dayNumber());
  EXPECT_EQ(75062, Date(7, 7, 2005).dayNumber());
  EXPECT_EQ(438655, Date(31, 12, 3000).dayNumber());
  EXPECT_EQ(28, pendra::daysInMonth(2, 1900));
  EXPECT_EQ(29, pendra::daysInMonth(2, 2000));
  EXPECT_EQ(0, pendra::daysInMonth(13, 2000));
  EXPECT_EQ(0, pendra::daysInMonth(0, 2000));
  EXPECT_EQ(3, pendra::weekdayOf(29, 2, 2000));  // Tuesday
  EXPECT_EQ(5, pendra::weekdayOf(7, 7, 2005));   // Thursday
  EXPECT_EQ(22, Date(1, 11, 1801).monthNumber());
}

// Every day from 1 January 1800 to 31 December 9999: the constant-time
// conversions agree with the walks (checked in full over the first four
// centuries, where the walks are cheap, and with a running count beyond).
TEST(Date, ConversionsMatchTheWalksOverTheWholeRange) {
  Date walker(1, 1, 1800);
  for (int32_t n = 0;; ++n) {
    ASSERT_EQ(n, walker.dayNumber())
        << int(walker.day) << "." << int(walker.month) << "." << walker.year;
    Date back = Date::fromNumber(n);
    walker.weekday = pendra::weekdayOf(walker.day, walker.month, walker.year);
    ASSERT_TRUE(SameDate(walker, back)) << n;
    if (walker.year < 2200 || n % 997 == 0) {
      ASSERT_EQ(static_cast<uint32_t>(n), WalkDayNumber(walker)) << n;
      ASSERT_TRUE(SameDate(WalkFromDayNumber(static_cast<uint32_t>(n)), back)) << n;
    }
    if (walker.sameDay(Date(31, 12, 9999))) break;
    walker.nextDay();
  }
}

TEST(Date, ImpossibleDatesCountLikeTheWalk) {
  // The command line passes what the user typed: 31 February counts on.
  for (const Date& d :
       {Date(31, 2, 2005), Date(30, 2, 2004), Date(31, 4, 1999), Date(31, 11, 2400)})
    EXPECT_EQ(WalkDayNumber(d), static_cast<uint32_t>(d.dayNumber()));
  EXPECT_TRUE(Date(1, 3, 2005).sameDay(Date::fromNumber(Date(29, 2, 2005).dayNumber())));
}

TEST(Date, BeforeEighteenHundred) {
  // Negative day numbers are real dates, not billions of steps.
  EXPECT_TRUE(Date(31, 12, 1799).sameDay(Date::fromNumber(-1)));
  EXPECT_EQ(-365, Date(1, 1, 1799).dayNumber());
  EXPECT_EQ(-1461, Date(1, 1, 1796).dayNumber());  // 1796 is a leap year
  Date d = Date::fromNumber(Date(15, 10, 1582).dayNumber());
  EXPECT_TRUE(d.sameDay(Date(15, 10, 1582)));
  EXPECT_EQ(pendra::weekdayOf(15, 10, 1582), d.weekday);
  // Far below the year 1 the conversion clamps to 1 January 1.
  EXPECT_TRUE(Date(1, 1, 1).sameDay(Date::fromNumber(INT32_MIN)));
  EXPECT_TRUE(Date(1, 1, 1).sameDay(Date::fromNumber(Date(1, 1, 1).dayNumber() - 5)));
  EXPECT_TRUE(Date(31, 12, 65535).sameDay(Date::fromNumber(Date(31, 12, 65535).dayNumber())));
}

TEST(Date, Stepping) {
  struct {
    Date from;
    Date next;
    Date previous;
  } cases[] = {
      {Date(31, 12, 2005), Date(1, 1, 2006), Date(30, 12, 2005)},
      {Date(1, 3, 2004), Date(2, 3, 2004), Date(29, 2, 2004)},
      {Date(1, 1, 2006), Date(2, 1, 2006), Date(31, 12, 2005)},
      {Date(28, 2, 1900), Date(1, 3, 1900), Date(27, 2, 1900)},
      {Date(29, 2, 2000), Date(1, 3, 2000), Date(28, 2, 2000)},
  };
  for (const auto& c : cases) {
    Date n = c.from, p = c.from;
    n.weekday = p.weekday = 6;
    n.nextDay();
    p.previousDay();
    EXPECT_TRUE(n.sameDay(c.next));
    EXPECT_TRUE(p.sameDay(c.previous));
    EXPECT_EQ(6, n.weekday);  // stepping leaves the weekday as it was
    EXPECT_EQ(6, p.weekday);
  }
  Date m(15, 12, 2005);
  m.nextMonth();
  EXPECT_TRUE(m.sameDay(Date(15, 1, 2006)));
  m.previousMonth();
  m.previousMonth();
  EXPECT_TRUE(m.sameDay(Date(15, 11, 2005)));
}

TEST(Date, AddDaysEqualsRepeatedSteps) {
  for (int count : {0, -3, 1, 2, 59, 365, 366, 1000, 40000}) {
    for (const Date& start : {Date(28, 2, 2000), Date(31, 12, 1899), Date(1, 3, 2100)}) {
      Date fast = start, slow = start, back = start, slowBack = start;
      fast.addDays(count);
      back.subtractDays(count);
      for (int i = 0; i < count; ++i) {
        slow.nextDay();
        slowBack.previousDay();
      }
      EXPECT_TRUE(fast.sameDay(slow)) << count;
      EXPECT_TRUE(back.sameDay(slowBack)) << count;
      EXPECT_EQ(start.weekday, fast.weekday);
    }
  }
  // An impossible day steps the way single steps do.
  Date odd(31, 2, 2005), oddSlow(31, 2, 2005);
  odd.addDays(3);
  for (int i = 0; i < 3; ++i) oddSlow.nextDay();
  EXPECT_TRUE(odd.sameDay(oddSlow));
}

TEST(Date, NthWeekdayOfMonth) {
  EXPECT_EQ(31, pendra::nthWeekdayOfMonth(6, 1, 7, 2005));  // last Sunday
  EXPECT_EQ(31, pendra::nthWeekdayOfMonth(5, 1, 7, 2005));
  EXPECT_EQ(0, pendra::nthWeekdayOfMonth(5, 2, 7, 2005));   // no fifth Monday
  EXPECT_EQ(25, pendra::nthWeekdayOfMonth(6, 2, 7, 2005));  // last Monday
  EXPECT_EQ(22, pendra::nthWeekdayOfMonth(6, 7, 2, 2003));  // last Saturday, no fifth
  EXPECT_EQ(0, pendra::nthWeekdayOfMonth(0, 2, 7, 2005));
  EXPECT_EQ(0, pendra::nthWeekdayOfMonth(1, 0, 7, 2005));
  EXPECT_EQ(0, pendra::nthWeekdayOfMonth(1, 2, 13, 2005));
  for (uint32_t year = 1800; year < 2300; year += 7)
    for (uint8_t month = 1; month <= 12; ++month)
      for (uint8_t n = 1; n <= 6; ++n)
        for (uint8_t w = 1; w <= 7; ++w)
          ASSERT_EQ(WalkNthWeekday(n, w, month, year),
                    pendra::nthWeekdayOfMonth(n, w, month, year));
}

TEST(Date, Patterns) {
  Date saturday(9, 7, 2005);
  saturday.weekday = 7;
  Date sunday(10, 7, 2005);
  sunday.weekday = 1;
  Date any;
  EXPECT_TRUE(any.matches(saturday));
  Date onlySaturday;
  onlySaturday.weekday = 7;
  EXPECT_TRUE(onlySaturday.matches(saturday));
  EXPECT_FALSE(onlySaturday.matches(sunday));
  EXPECT_TRUE(Date(9, 7, 0).matches(saturday));
  EXPECT_FALSE(Date(9, 7, 2006).matches(saturday));
  EXPECT_FALSE(Date(9, 8, 0).matches(saturday));
  EXPECT_FALSE(Date(10, 0, 0).matches(saturday));
  Date other = saturday;
  other.weekday = 3;
  EXPECT_TRUE(other.sameDay(saturday));
}

TEST(Date, DayNumbersOfEveryYearFitAndConvertBack) {
  for (uint32_t year : {65536u, 11761022u, 2147483647u, 4294967295u}) {
    Date d(1, 3, year);
    int64_t n = d.dayNumber();
    EXPECT_GT(n, Date(31, 12, 65535).dayNumber()) << year;
    EXPECT_EQ(Date(28, 2, year).dayNumber() + (pendra::isLeapYear(year) ? 2 : 1), n) << year;
    Date back = Date::fromNumber(n);
    EXPECT_TRUE(back.sameDay(d)) << year << ": " << back.year;
  }
}

TEST(Date, Packing) {
  EXPECT_EQ(0x1dc1f57u, pendra::packDate(7, 7, 2005));
  Date d = pendra::unpackDate(0x1dc1f57u);
  EXPECT_TRUE(d.sameDay(Date(7, 7, 2005)));
  EXPECT_EQ(0, d.weekday);
  for (const Date& x : {Date(1, 1, 1), Date(31, 12, 65535), Date(29, 2, 2000)})
    EXPECT_TRUE(pendra::unpackDate(pendra::packDate(x)).sameDay(x));
}

TEST(Date, TodayIsAValidDate) {
  Date t = pendra::today();
  EXPECT_TRUE(t.isValid());
  EXPECT_EQ(0, t.weekday);
  EXPECT_GE(t.year, 2000u);
}

}  // namespace
