#include "engine/specifier.h"

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

bool Specifier::match(const Date& date) {
  matched_ = date;
  if (test(date)) return true;
  Date ahead = date;
  for (int32_t i = 0; i < previousCount_; ++i) {
    stepForward(ahead, previousStep_);
    if (test(ahead)) {
      matched_ = ahead;
      return true;
    }
  }
  return false;
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

SetProcSpecifier::SetProcSpecifier(scheme::Interpreter& in, scheme::Value procedure)
    : in_(in), procedure_(procedure), cachedList_(in.emptyList()) {}

bool SetProcSpecifier::test(const Date& date) {
  if (cachedYear_ != date.year) {
    scheme::Value year = scheme::Value::makeNumber(static_cast<int32_t>(date.year));
    cachedList_ = in_.call(procedure_, 1, &year);
    cachedYear_ = date.year;
  }
  scheme::Value word = scheme::Value::makeHost(pendra::packDate(date));
  for (scheme::Value cell = cachedList_; cell != in_.emptyList();) {
    scheme::checkType(in_, scheme::TypeCode::Pair, cell);
    scheme::Pair* pair = scheme::as<scheme::Pair>(cell);
    if (pair->car() == word) return true;
    cell = pair->cdr();
  }
  return false;
}

// ---- Rules ------------------------------------------------------------------

bool NthWeekdayRule::test(const Date& pattern, const Date& date) {
  // The weekday check first: it settles six days out of seven.
  return date.weekday == weekday_ && matchesPattern(pattern, date) &&
         pendra::nthWeekdayOfMonth(n_, weekday_, date.month, date.year) == date.day;
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

bool EveryRule::test(const Date& pattern, const Date& date) {
  Date start = pattern;
  if (start.year == 0) start.year = date.year;
  if (!matchesPattern(pattern, date) && !stepMatches(pattern, start, date)) return false;
  if (!withinLimit(start, date)) return false;
  for (const Date& e : exceptions_) {
    if (e.day == date.day && e.month == date.month && (e.year == 0 || e.year == date.year))
      return false;
  }
  return true;
}

// A count of 0 ("every 0 days") steps nowhere: the rule keeps its start day.
bool EveryRule::stepMatches(const Date& pattern, const Date& start, const Date& date) const {
  if (n_ <= 0) return false;
  if (step_ == static_cast<int32_t>(kYearUnit)) {
    return pattern.year != 0 && date.year > pattern.year && (date.year - pattern.year) % n_ == 0 &&
           date.day == pattern.day && date.month == pattern.month;
  }
  if (step_ == static_cast<int32_t>(kMonthUnit)) {
    if (date.day != pattern.day) return false;
    int32_t from = start.monthNumber();
    int32_t to = date.monthNumber();
    return from < to && (to - from) % n_ == 0;
  }
  int64_t stride = static_cast<int64_t>(n_) * step_;
  if (stride <= 0) return false;
  int32_t from = start.dayNumber();
  int32_t to = date.dayNumber();
  return from < to && (to - from) % stride == 0;
}

bool EveryRule::withinLimit(const Date& start, const Date& date) const {
  switch (limitKind_) {
    case kUntil: {
      uint32_t y = untilDate_.year != 0 ? untilDate_.year : date.year;
      if (date.year != y) return date.year < y;
      return date.month < untilDate_.month ||
             (date.month == untilDate_.month && date.day <= untilDate_.day);
    }
    case kFor:
      if (forUnit_ == static_cast<int32_t>(kYearUnit)) {
        return static_cast<int64_t>(start.year) + forCount_ > date.year;
      }
      if (forUnit_ == static_cast<int32_t>(kMonthUnit)) {
        return static_cast<int64_t>(start.monthNumber()) + forCount_ > date.monthNumber();
      }
      return static_cast<int64_t>(start.dayNumber()) + static_cast<int64_t>(forUnit_) * forCount_ -
                 1 >=
             date.dayNumber();
    default:
      return true;
  }
}

}  // namespace engine
