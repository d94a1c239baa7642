// Specifiers decide whether a reminder concerns a day. The grammar builds
// one per entry; the driver asks it, day by day, with match.
//
// A DateSpecifier compares against a pattern date (zero fields mean "any")
// and may hold a rule that computes with the calendar instead; two kinds
// hand the decision to Scheme procedures.
#ifndef PENDRA_ENGINE_SPECIFIER_H_
#define PENDRA_ENGINE_SPECIFIER_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "common/date.h"
#include "scheme/value.h"

namespace scheme {
class Interpreter;
}

namespace engine {

using pendra::Date;

// A quick and conservative pre-test: the months, days of the month,
// weekdays and years on which a specifier can possibly succeed. The scan
// asks it before calling match, so it must admit every day match accepts;
// it may admit more.
struct Sieve {
  static constexpr uint16_t kAllMonths = 0x1ffe;    // bits 1..12
  static constexpr uint32_t kAllDays = 0xfffffffe;  // bits 1..31
  static constexpr uint8_t kAllWeekdays = 0xfe;     // bits 1..7

  uint16_t months = kAllMonths;  // bit m for month m
  uint32_t days = kAllDays;      // bit d for day d
  uint8_t weekdays = kAllWeekdays;
  uint32_t firstYear = 0;
  uint32_t lastYear = UINT32_MAX;

  // A sieve that admits nothing.
  static Sieve none();
  // The days a pattern matches.
  static Sieve of(const Date& pattern);

  bool admits(const Date& d) const {
    return ((months >> d.month) & (days >> d.day) & (weekdays >> d.weekday) & 1u) != 0 &&
           d.year >= firstYear && d.year <= lastYear;
  }
  // Admits what either admits.
  void add(const Sieve& other);
  // The days from which a day this sieve admits lies count days ahead.
  Sieve shiftedBack(int64_t count) const;
};

// Every date handed to test and match carries its computed weekday.
class Specifier {
 public:
  virtual ~Specifier() = default;
  // Whether the specifier selects this date.
  virtual bool test(const Date& date) = 0;
  // The event date reported for a selected date; by default the date.
  virtual Date occurrence(const Date& date) const { return date; }
  // The days test can succeed on; by default every day.
  virtual Sieve testSieve() const { return Sieve(); }
  // Whether test succeeds on exactly the days testSieve admits.
  virtual bool testSieveIsExact() const { return false; }

  // test(date), then, with a look-ahead, the count days ahead at step days
  // apart; matched() tells which day succeeded.
  bool match(const Date& date);
  // The date the last match succeeded on; the scanned date when it failed.
  const Date& matched() const { return matched_; }
  // Look ahead count steps of step days (1 or 7); 0 turns it off.
  void setPrevious(int32_t count, int32_t step) {
    previousCount_ = count;
    previousStep_ = step;
  }
  int32_t previousCount() const { return previousCount_; }
  int32_t previousStep() const { return previousStep_; }
  // The days match can succeed on: testSieve widened by the look-ahead.
  Sieve sieve() const;
  // Whether match succeeds on exactly the days sieve admits.
  bool sieveIsExact() const { return previousCount_ == 0 && testSieveIsExact(); }
  // Records a day on which match is known to succeed, as match would.
  // REQUIRES: sieveIsExact() and sieve().admits(date).
  void noteMatch(const Date& date) { matched_ = date; }

 private:
  Date matched_;
  int32_t previousCount_ = 0;
  int32_t previousStep_ = 1;
};

// A rule attached to a DateSpecifier's pattern.
class DateRule {
 public:
  virtual ~DateRule() = default;
  virtual bool test(const Date& pattern, const Date& date) = 0;
  // The days test can succeed on for this pattern; by default every day.
  virtual Sieve sieve(const Date& pattern) const;
};

// A pattern, with or without a rule.
class DateSpecifier : public Specifier {
 public:
  DateSpecifier(std::unique_ptr<DateRule> rule, const Date& pattern)
      : rule_(std::move(rule)), pattern_(pattern) {}
  bool test(const Date& date) override;
  // The pattern with its zero day, month and year taken from date.
  Date occurrence(const Date& date) const override;
  Sieve testSieve() const override;
  bool testSieveIsExact() const override { return rule_ == nullptr; }
  const Date& pattern() const { return pattern_; }
  DateRule* rule() const { return rule_.get(); }

 private:
  std::unique_ptr<DateRule> rule_;
  Date pattern_;
};

// Several specifiers joined by "and": any of them selects the date.
class AnyOfSpecifier : public Specifier {
 public:
  explicit AnyOfSpecifier(std::vector<std::unique_ptr<Specifier>> members)
      : members_(std::move(members)) {}
  bool test(const Date& date) override;
  Sieve testSieve() const override;
  int32_t count() const { return static_cast<int32_t>(members_.size()); }

 private:
  std::vector<std::unique_ptr<Specifier>> members_;
};

// A Scheme date predicate: any result but #f selects the date.
class TestProcSpecifier : public Specifier {
 public:
  TestProcSpecifier(scheme::Interpreter& in, scheme::Value procedure)
      : in_(in), procedure_(procedure) {}
  bool test(const Date& date) override;

 private:
  scheme::Interpreter& in_;
  scheme::Value procedure_;
};

// A Scheme procedure giving a year's list of dates; called once per year.
class SetProcSpecifier : public Specifier {
 public:
  SetProcSpecifier(scheme::Interpreter& in, scheme::Value procedure)
      : in_(in), procedure_(procedure) {}
  // "Wrong type" through the interpreter when the list is not one.
  bool test(const Date& date) override;

 private:
  void rebuild(uint32_t year);

  scheme::Interpreter& in_;
  scheme::Value procedure_;
  uint32_t cachedYear_ = 0;
  // The list of cachedYear_ as looked up: bit d of listed_[m] when the date
  // d/m/cachedYear_ is an element (before any faulty tail).
  uint32_t listed_[13] = {};
  scheme::Value badTail_;  // the non-pair that ends the list; none for '()
};

// The n-th (1..5, 6 = last) given weekday of the month.
class NthWeekdayRule : public DateRule {
 public:
  NthWeekdayRule(uint8_t n, uint8_t weekday) : n_(n), weekday_(weekday) {}
  bool test(const Date& pattern, const Date& date) override;
  Sieve sieve(const Date& pattern) const override;

 private:
  uint8_t n_;
  uint8_t weekday_;
};

// The first day with one of the weekdays before or after the pattern's day
// (in every month when the pattern has none). Keeps the results of the
// year last tested.
class WeekdayOffsetRule : public DateRule {
 public:
  // mask: bit w for each accepted weekday w (1..7).
  WeekdayOffsetRule(uint8_t mask, bool inclusive, bool backward)
      : mask_(mask), inclusive_(inclusive), backward_(backward) {}
  bool test(const Date& pattern, const Date& date) override;
  Sieve sieve(const Date& pattern) const override;

 private:
  void rebuild(const Date& pattern, uint32_t year);
  void addEntry(uint8_t day, uint8_t month, uint32_t year);

  uint8_t mask_;
  bool inclusive_;
  bool backward_;
  uint32_t cachedYear_ = 0;
  int32_t count_ = 0;
  Date dates_[13];
};

// Repetition from the pattern's day every n steps, with an optional limit
// ("until" a date or "for" a count of units) and exceptions.
class EveryRule : public DateRule {
 public:
  // step: days (1 or 7), kMonthUnit or kYearUnit.
  EveryRule(int32_t n, int32_t step) : n_(n), step_(step) {}
  // A day and month, year 0 for the tested date's year.
  void setUntil(const Date& until);
  void setFor(int32_t count, int32_t unit);
  // Day and month, year 0 for every year.
  void addException(const Date& date);
  // REQUIRES: the pattern has a day and a month.
  bool test(const Date& pattern, const Date& date) override;
  Sieve sieve(const Date& pattern) const override;

 private:
  enum Limit { kNone = 0, kUntil = 1, kFor = 2 };
  // The start day: the pattern, in the tested year when it has none.
  void startIn(const Date& pattern, uint32_t year);
  bool stepMatches(const Date& pattern, const Date& date);
  bool withinLimit(const Date& date) const;

  int32_t n_;
  int32_t step_;
  int32_t limitKind_ = kNone;
  Date untilDate_;
  int32_t forCount_ = 0;
  int32_t forUnit_ = 0;
  std::vector<Date> exceptions_;

  uint32_t startYear_ = 0;     // year of the start below; 0 before the first test
  int32_t startDay_ = 0;       // its day number
  int32_t startMonth_ = 0;     // its month number
  int64_t lastDistance_ = -1;  // days from the start to the day last stepped to
  int64_t lastRemainder_ = 0;  // that distance modulo the stride
};

}  // namespace engine

#endif  // PENDRA_ENGINE_SPECIFIER_H_
