#include "engine/specifier.h"

#include <algorithm>
#include <bit>

#include "engine/keyword_table.h"
#include "scheme/interpreter.h"
#include "scheme/objects.h"

namespace engine {

namespace {

// Date::matches, inlined: the scan calls this for most entries on most days.
inline bool matchesPattern(const Date& p, const Date& d) {
  return (p.year == 0 || p.year == d.year) && (p.month == 0 || p.month == d.month) &&
         (p.day == 0 || p.day == d.day) && (p.weekday == 0 || p.weekday == d.weekday);
}

// The last day a date word can hold.
const int64_t kLastDay = Date(31, 12, pendra::kLastYear).dayNumber();

// Moves a real date forward by days and keeps its weekday right.
void stepForward(Date& d, int32_t days) {
  if (days >= 1 && days <= 28) {
    uint8_t length = pendra::daysInMonth(d.month, d.year);
    int32_t day = d.day + days;
    if (day > length) {
      day -= length;
      d.nextMonth();
    }
    d.day = static_cast<uint8_t>(day);
    d.weekday = static_cast<uint8_t>((d.weekday - 1 + days) % 7 + 1);
    return;
  }
  d.addDays(days);
  d.weekday = pendra::weekdayOf(d.day, d.month, d.year);
}

}  // namespace

// ---- Sieves -------------------------------------------------------------------

Sieve Sieve::none() {
  Sieve s;
  s.months = 0;
  s.days = 0;
  s.weekdays = 0;
  s.firstYear = UINT32_MAX;
  s.lastYear = 0;
  return s;
}

Sieve Sieve::of(const Date& p) {
  Sieve s;
  if (p.month != 0) s.months = p.month <= 12 ? static_cast<uint16_t>(1u << p.month) : 0;
  if (p.day != 0) s.days = p.day <= 31 ? 1u << p.day : 0;
  if (p.weekday != 0) s.weekdays = p.weekday <= 7 ? static_cast<uint8_t>(1u << p.weekday) : 0;
  if (p.year != 0) s.firstYear = s.lastYear = p.year;
  return s;
}

void Sieve::add(const Sieve& other) {
  months |= other.months;
  days |= other.days;
  weekdays |= other.weekdays;
  firstYear = std::min(firstYear, other.firstYear);
  lastYear = std::max(lastYear, other.lastYear);
}

Sieve Sieve::shiftedBack(int64_t count) const {
  if (count <= 0) return *this;
  Sieve s = *this;
  s.weekdays = 0;
  for (int w = 1; w <= 7; ++w) {
    if ((weekdays >> w & 1u) != 0)
      s.weekdays |= static_cast<uint8_t>(1u << ((w - 1 - count % 7 + 7) % 7 + 1));
  }
  if (count > 28) {
    // Months away: only the weekday is still known.
    s.months = kAllMonths;
    s.days = kAllDays;
    int64_t first = static_cast<int64_t>(firstYear) - count / 365 - 1;
    s.firstYear = first < 0 ? 0 : static_cast<uint32_t>(first);
    return s;
  }
  // A day d comes from d - count, or from the end of the month before.
  bool intoMonthBefore = false;
  s.days = 0;
  for (int d = 1; d <= 31; ++d) {
    if ((days >> d & 1u) == 0) continue;
    int from = d - static_cast<int>(count);
    if (from >= 1) {
      s.days |= 1u << from;
      continue;
    }
    intoMonthBefore = true;
    for (int length = 28; length <= 31; ++length) {
      if (from + length >= 1) s.days |= 1u << (from + length);
    }
  }
  if (intoMonthBefore) {
    s.months = static_cast<uint16_t>(months | ((months >> 1) & kAllMonths));
    if ((months & 2u) != 0) s.months |= 1u << 12;  // January from December
    if (firstYear > 0 && (months & 2u) != 0) s.firstYear = firstYear - 1;
  }
  return s;
}

Sieve Specifier::sieve() const {
  Sieve base = testSieve();
  Sieve all = base;
  if (previousStep_ <= 0) return all;
  // The first 35 offsets reach every weekday and, past 28 days, every day
  // and month; the farthest one reaches back the most years.
  int64_t count = std::min<int64_t>(previousCount_, 35);
  for (int64_t i = 1; i <= count; ++i) all.add(base.shiftedBack(i * previousStep_));
  if (previousCount_ > count)
    all.add(base.shiftedBack(static_cast<int64_t>(previousCount_) * previousStep_));
  return all;
}

Sieve DateRule::sieve(const Date&) const { return Sieve(); }

void Specifier::setPrevious(int32_t count, int32_t step) {
  previousCount_ = count;
  previousStep_ = step;
  reach_ = static_cast<int64_t>(count) * step;
  ahead_.reset();
  if (count > 0 && (step == 1 || step == 7) && !callsScheme()) {
    ahead_ = std::make_unique<Ahead[]>(static_cast<size_t>(step));
    aheadSieve_ = testSieve();
  }
}

bool Specifier::matchTesting(const Date& date, int64_t n) {
  matched_ = date;
  if (ahead_) return lookAhead(date, n);
  if (test(date)) return true;
  if (previousCount_ <= 0 || previousStep_ <= 0) return false;
  // A date word holds no year past 65535: the walk stops at its last day.
  int64_t room = (kLastDay - n) / previousStep_;
  int64_t steps = std::min<int64_t>(previousCount_, room);
  Date ahead = date;
  for (int64_t i = 0; i < steps; ++i) {
    stepForward(ahead, previousStep_);
    if (test(ahead)) {
      matched_ = ahead;
      return true;
    }
  }
  return false;
}

// The scan asks about consecutive days, and each answer stays good until
// the scan passes the success it found; so each lattice day is tested about
// once, whatever the count.
bool Specifier::lookAhead(const Date& date, int64_t n) {
  if (n > kLastDay) return test(date);
  int64_t step = previousStep_;
  int64_t limit = std::min<int64_t>(n + reach_, kLastDay);
  Ahead& a = ahead_[lattice(n)];
  int64_t start = n;
  Date from = date;
  if (a.from <= n && n <= a.to) {
    // Here only when nothing was found up to a.to.
    start = a.to + step;
    if (start > limit) return false;
    from = a.next.day != 0 ? a.next : Date::fromNumber(start);
  } else if (a.found >= 0 || a.from > n || n != a.to + step) {
    a.from = n;  // not next to what is known: start afresh
  }
  search(a, start, from, limit);
  if (a.found < 0) return false;
  matched_ = a.foundDate;
  return true;
}

// Days the sieve rules out are passed over whole months (whole years before
// its first year), and may run past limit: they are known to fail.
void Specifier::search(Ahead& a, int64_t n, Date d, int64_t limit) {
  const Sieve& s = aheadSieve_;
  int64_t step = previousStep_;
  int64_t base = n;
  // The first lattice day on or after day number x.
  auto onLattice = [&](int64_t x) { return x + ((base - x) % step + step) % step; };
  a.found = -1;
  for (;;) {
    int64_t skipTo = -1;
    // Whole weeks keep the weekday: a wrong one never becomes right.
    if (d.year > s.lastYear || (step == 7 && (s.weekdays >> d.weekday & 1u) == 0)) {
      skipTo = onLattice(kLastDay + 1);
    } else if (d.year < s.firstYear) {
      skipTo = onLattice(Date(1, 1, s.firstYear).dayNumber());
    } else if ((s.months >> d.month & 1u) == 0) {
      skipTo = onLattice(n + pendra::daysInMonth(d.month, d.year) - d.day + 1);
    } else if (step == 1 && (s.days >> d.day & 1u) == 0) {
      // Straight to the next day of the month the sieve admits.
      uint32_t later = d.day >= 31 ? 0 : s.days >> (d.day + 1) << (d.day + 1);
      int day = later != 0 ? std::countr_zero(later) : 32;
      if (day > pendra::daysInMonth(d.month, d.year)) {
        skipTo = n + pendra::daysInMonth(d.month, d.year) - d.day + 1;
      } else if (n + (day - d.day) <= limit) {
        n += day - d.day;
        stepForward(d, day - d.day);
        continue;
      } else {
        skipTo = n + (day - d.day);
      }
    } else if (step == 1 && (s.weekdays >> d.weekday & 1u) == 0) {
      // Straight to the next weekday the sieve admits.
      int ahead = 1;
      while (ahead < 7 && (s.weekdays >> ((d.weekday - 1 + ahead) % 7 + 1) & 1u) == 0) ++ahead;
      if (ahead == 7) {
        skipTo = kLastDay + 1;
      } else if (n + ahead <= limit) {
        n += ahead;
        stepForward(d, ahead);
        continue;
      } else {
        skipTo = n + ahead;
      }
    } else if (s.admits(d) && test(d)) {
      a.found = a.to = n;
      a.foundDate = d;
      a.next = Date();
      return;
    } else if (n + step <= limit) {
      n += step;
      if (step == 1 && d.day < 28) {
        ++d.day;
        d.weekday = static_cast<uint8_t>(d.weekday % 7 + 1);
      } else {
        stepForward(d, static_cast<int32_t>(step));
      }
      continue;
    } else {
      // Nothing up to limit; the next lattice day's date is at hand.
      a.to = n;
      a.next = d;
      stepForward(a.next, static_cast<int32_t>(step));
      return;
    }
    if (skipTo > limit) {
      a.to = skipTo - step;
      a.next = Date();  // worked out when needed
      return;
    }
    // Forward by days, keeping the weekday right; most skips end on the
    // first of the next month.
    int64_t days = skipTo - n;
    if (days == pendra::daysInMonth(d.month, d.year) - d.day + 1) {
      d.day = 1;
      d.nextMonth();
      d.weekday = static_cast<uint8_t>((d.weekday - 1 + days) % 7 + 1);
    } else if (days <= 62) {
      stepForward(d, static_cast<int32_t>(days));
    } else {
      d = Date::fromNumber(skipTo);
    }
    n = skipTo;
  }
}

// ---- DateSpecifier and AnyOfSpecifier -------------------------------------

bool DateSpecifier::test(const Date& date) {
  return rule_ ? rule_->test(pattern_, date) : matchesPattern(pattern_, date);
}

Date DateSpecifier::occurrence(const Date& date) const {
  Date d = pattern_;
  if (d.day == 0) d.day = date.day;
  if (d.month == 0) d.month = date.month;
  if (d.year == 0) d.year = date.year;
  return d;
}

Sieve DateSpecifier::testSieve() const {
  return rule_ ? rule_->sieve(pattern_) : Sieve::of(pattern_);
}

Sieve AnyOfSpecifier::testSieve() const {
  Sieve s = Sieve::none();
  for (const auto& member : members_) s.add(member->testSieve());
  return s;
}

bool AnyOfSpecifier::callsScheme() const {
  for (const auto& member : members_) {
    if (member->callsScheme()) return true;
  }
  return false;
}

bool AnyOfSpecifier::test(const Date& date) {
  for (const auto& member : members_) {
    if (member->test(date)) return true;
  }
  return false;
}

// ---- Specifiers bound to Scheme procedures ----------------------------------

bool TestProcSpecifier::test(const Date& date) {
  scheme::Value argument = scheme::Value::makeHost(pendra::packDate(date));
  return in_.call(procedure_, 1, &argument) != in_.falseValue();
}

bool SetProcSpecifier::test(const Date& date) {
  if (cachedYear_ != date.year) rebuild(date.year);
  if (date.month <= 12 && date.day <= 31 && (listed_[date.month] >> date.day & 1u) != 0)
    return true;
  // Not listed: the walk reaches the end of the list, which must be '().
  if (!badTail_.isNone()) in_.error("Wrong type", badTail_);
  return false;
}

// Looks the year's list up once, when the year is first tested: only dates
// of that year can be found in it, and the walk of any day ends at the same
// tail. Changes made to the list afterwards are not seen; the next year's
// list is a new call.
void SetProcSpecifier::rebuild(uint32_t year) {
  scheme::Value argument = scheme::Value::makeNumber(static_cast<int32_t>(year));
  scheme::Value list = in_.call(procedure_, 1, &argument);
  cachedYear_ = year;
  for (uint32_t& days : listed_) days = 0;
  badTail_ = scheme::Value();
  // A second cursor at half speed meets the first only on a cycle, which
  // makes the whole list the culprit, as the list procedures do.
  scheme::Value slow = list;
  bool lagging = false;
  for (scheme::Value cell = list; cell != in_.emptyList();) {
    if (!scheme::isPair(cell)) {
      badTail_ = cell;
      return;
    }
    note(scheme::as<scheme::Pair>(cell)->car(), year);
    cell = scheme::as<scheme::Pair>(cell)->cdr();
    if (lagging) slow = scheme::as<scheme::Pair>(slow)->cdr();
    lagging = !lagging;
    if (cell == slow) {
      badTail_ = list;
      return;
    }
  }
}

void SetProcSpecifier::note(scheme::Value element, uint32_t year) {
  if (!element.isHost()) return;
  Date d = pendra::unpackDate(element.hostWord());
  // Only a word that is the packed form of its own date equals the packed
  // form of a tested date.
  if (pendra::packDate(d) != element.hostWord() || d.year != year) return;
  if (d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31) listed_[d.month] |= 1u << d.day;
}

// ---- Rules ------------------------------------------------------------------

bool NthWeekdayRule::test(const Date& pattern, const Date& date) {
  // The weekday check first: it settles six days out of seven.
  return date.weekday == weekday_ && matchesPattern(pattern, date) &&
         pendra::nthWeekdayOfMonth(n_, weekday_, date.month, date.year) == date.day;
}

Sieve NthWeekdayRule::sieve(const Date& pattern) const {
  Sieve s = Sieve::of(pattern);
  s.weekdays &= weekday_ >= 1 && weekday_ <= 7 ? static_cast<uint8_t>(1u << weekday_) : 0;
  uint32_t range = 0;  // the days the n-th weekday can fall on
  if (n_ >= 1 && n_ <= 5) {
    for (int d = (n_ - 1) * 7 + 1; d <= n_ * 7 && d <= 31; ++d) range |= 1u << d;
  } else if (n_ == 6) {
    for (int d = 22; d <= 31; ++d) range |= 1u << d;
  }
  s.days &= range;
  return s;
}

Sieve WeekdayOffsetRule::sieve(const Date& pattern) const {
  if (pattern.day == 0) return Sieve::none();
  Sieve s;
  s.weekdays = mask_ & Sieve::kAllWeekdays;
  if (pattern.month >= 1 && pattern.month <= 12) {
    // Within a week of the pattern's day: its month or the one either side.
    int m = pattern.month;
    s.months =
        static_cast<uint16_t>(1u << m | 1u << (m == 1 ? 12 : m - 1) | 1u << (m == 12 ? 1 : m + 1));
  }
  if (pattern.year != 0) {
    s.firstYear = pattern.year - 1;
    s.lastYear = pattern.year + 1;
  }
  return s;
}

bool WeekdayOffsetRule::test(const Date& pattern, const Date& date) {
  if (pattern.day == 0) return false;
  if (cachedYear_ != date.year) rebuild(pattern, date.year);
  for (int32_t i = 0; i < count_; ++i) {
    const Date& e = dates_[i];
    if (e.day == date.day && e.month == date.month && e.year == date.year &&
        e.weekday == date.weekday)
      return true;
  }
  return false;
}

void WeekdayOffsetRule::rebuild(const Date& pattern, uint32_t year) {
  count_ = 0;
  cachedYear_ = year;
  uint32_t base = pattern.year != 0 ? pattern.year : year;
  if (pattern.month != 0) {
    addEntry(pattern.day, pattern.month, base);
  } else {
    for (uint8_t m = 1; m <= 12; ++m) addEntry(pattern.day, m, base);
  }
  if (pattern.year != 0) return;
  // A result may fall in the year next to the one tested: "after" a late
  // December day lands in January, "before" an early January day in
  // December. A plain "before" reaches back seven days, so day 7 counts.
  if (!backward_ && (pattern.month == 0 || pattern.month == 12) && pattern.day >= 25) {
    addEntry(pattern.day, 12, year - 1);
  } else if (backward_ && (pattern.month == 0 || pattern.month == 1) &&
             pattern.day <= (inclusive_ ? 6 : 7)) {
    addEntry(pattern.day, 1, year + 1);
  }
}

void WeekdayOffsetRule::addEntry(uint8_t day, uint8_t month, uint32_t year) {
  if ((mask_ & 0xfe) == 0) return;  // no weekday: nothing is ever reached
  Date d(day, month, year);
  auto step = [&] { backward_ ? d.previousDay() : d.nextDay(); };
  if (!inclusive_) step();
  while ((mask_ & (1u << pendra::weekdayOf(d.day, d.month, d.year))) == 0) step();
  d.weekday = pendra::weekdayOf(d.day, d.month, d.year);
  dates_[count_++] = d;
}

void EveryRule::setUntil(const Date& until) {
  limitKind_ = kUntil;
  untilDate_ = until;
}

void EveryRule::setFor(int32_t count, int32_t unit) {
  limitKind_ = kFor;
  forCount_ = count;
  forUnit_ = unit;
}

void EveryRule::addException(const Date& date) { exceptions_.push_back(date); }

Sieve EveryRule::sieve(const Date& pattern) const {
  Sieve s;
  bool daySteps =
      step_ != static_cast<int32_t>(kYearUnit) && step_ != static_cast<int32_t>(kMonthUnit);
  if (!daySteps) s.days = Sieve::of(pattern).days;
  if (step_ == static_cast<int32_t>(kYearUnit)) s.months = Sieve::of(pattern).months;
  if (pattern.year != 0) {
    s.firstYear = pattern.year;
    // Whole weeks from one fixed start: always the start's weekday.
    int64_t stride = static_cast<int64_t>(n_) * step_;
    if (daySteps && stride > 0 && stride % 7 == 0)
      s.weekdays =
          static_cast<uint8_t>(1u << pendra::weekdayOf(pattern.day, pattern.month, pattern.year));
  }
  if (limitKind_ == kUntil && untilDate_.year != 0) s.lastYear = untilDate_.year;
  return s;
}

void EveryRule::startIn(const Date& pattern, uint32_t year) {
  Date start = pattern;
  start.year = year;
  startYear_ = year;
  startDay_ = start.dayNumber();
  startMonth_ = start.monthNumber();
  lastDistance_ = -1;
}

bool EveryRule::test(const Date& pattern, const Date& date) {
  uint32_t year = pattern.year != 0 ? pattern.year : date.year;
  if (year != startYear_) startIn(pattern, year);
  if (!matchesPattern(pattern, date) && !stepMatches(pattern, date)) return false;
  if (!withinLimit(date)) return false;
  for (const Date& e : exceptions_) {
    if (e.day == date.day && e.month == date.month && (e.year == 0 || e.year == date.year))
      return false;
  }
  return true;
}

// A count of 0 ("every 0 days") steps nowhere: the rule keeps its start day.
bool EveryRule::stepMatches(const Date& pattern, const Date& date) {
  if (n_ <= 0) return false;
  if (step_ == static_cast<int32_t>(kYearUnit)) {
    return pattern.year != 0 && date.year > pattern.year && (date.year - pattern.year) % n_ == 0 &&
           date.day == pattern.day && date.month == pattern.month;
  }
  if (step_ == static_cast<int32_t>(kMonthUnit)) {
    if (date.day != pattern.day) return false;
    int32_t months = date.monthNumber() - startMonth_;
    return months > 0 && months % n_ == 0;
  }
  int64_t stride = static_cast<int64_t>(n_) * step_;
  if (stride <= 0) return false;
  int64_t distance = static_cast<int64_t>(date.dayNumber()) - startDay_;
  if (distance <= 0) return false;
  // The scan tests day after day: the remainder then just counts up.
  if (lastDistance_ >= 0 && distance == lastDistance_ + 1) {
    lastRemainder_ = lastRemainder_ + 1 == stride ? 0 : lastRemainder_ + 1;
  } else {
    lastRemainder_ = distance % stride;
  }
  lastDistance_ = distance;
  return lastRemainder_ == 0;
}

bool EveryRule::withinLimit(const Date& date) const {
  switch (limitKind_) {
    case kUntil: {
      uint32_t y = untilDate_.year != 0 ? untilDate_.year : date.year;
      if (date.year != y) return date.year < y;
      return date.month < untilDate_.month ||
             (date.month == untilDate_.month && date.day <= untilDate_.day);
    }
    case kFor:
      if (forUnit_ == static_cast<int32_t>(kYearUnit))
        return static_cast<int64_t>(startYear_) + forCount_ > date.year;
      if (forUnit_ == static_cast<int32_t>(kMonthUnit))
        return static_cast<int64_t>(startMonth_) + forCount_ > date.monthNumber();
      return static_cast<int64_t>(startDay_) + static_cast<int64_t>(forUnit_) * forCount_ - 1 >=
             date.dayNumber();
    default:
      return true;
  }
}

}  // namespace engine
