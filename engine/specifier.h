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

#include "common/bounds.h"
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
  // Whether test calls a Scheme procedure. Such a test may have effects,
  // so the look-ahead asks it day by day, and only so far.
  virtual bool callsScheme() const { return false; }

  // test(date), then, with a look-ahead, the count days ahead at step days
  // apart, none past 31 December 65535; matched() tells which day
  // succeeded. Without Scheme, the look-ahead remembers where the next
  // success lies, so its cost does not grow with the count.
  bool match(const Date& date) { return match(date, date.dayNumber()); }
  // The same for the date whose day number is n; answers at once while
  // the success found last is still ahead.
  bool match(const Date& date, int64_t n) {
    if (ahead_) {
      const Ahead& a = ahead_[lattice(n)];
      if (a.found >= 0 && a.from <= n && n <= a.found) {
        bool reached = a.found - n <= reach_;
        matched_ = reached ? a.foundDate : date;
        return reached;
      }
    }
    return matchTesting(date, n);
  }
  // After match(date, n) with a day-by-day look-ahead: whether match is
  // known for every day from n up to *through without testing, and from
  // which of them (*first) it succeeds, on the day *found.
  bool settledAhead(int64_t n, int64_t* through, int64_t* first, Date* found) const {
    if (!ahead_ || previousStep_ != 1) return false;
    const Ahead& a = ahead_[0];
    if (a.found >= 0) {
      *through = a.found;
      *first = a.found - reach_;
      *found = a.foundDate;
    } else {
      *through = a.to - reach_;  // no success up to a.to
      *first = INT64_MAX;
    }
    return a.from <= n && n <= *through;
  }
  // The date the last match succeeded on; the scanned date when it failed.
  const Date& matched() const { return matched_; }
  // Look ahead count steps of step days (1 or 7); 0 turns it off. Call it
  // once the specifier is complete.
  void setPrevious(int32_t count, int32_t step);
  int32_t previousCount() const { return previousCount_; }
  int32_t previousStep() const { return previousStep_; }
  // The days match can succeed on: testSieve widened by the look-ahead.
  Sieve sieve() const;
  // Whether match succeeds on exactly the days sieve admits.
  bool sieveIsExact() const { return previousCount_ == 0 && testSieveIsExact(); }

 private:
  // What the look-ahead knows of one lattice of days (day numbers equal
  // modulo the step): the lattice days from..to are known, and found is the
  // first success among them (then to == found), or -1.
  struct Ahead {
    int64_t from = 0, to = -1, found = -1;
    Date foundDate;
    Date next;  // the day after to on the lattice; day 0 when not worked out
  };
  int lattice(int64_t n) const {
    return previousStep_ == 1 ? 0 : static_cast<int>((n % 7 + 7) % 7);
  }
  bool matchTesting(const Date& date, int64_t n);
  bool lookAhead(const Date& date, int64_t n);
  // Looks for the first lattice day from n (whose date is d) up to limit
  // on which test succeeds, and records what it learnt in a.
  void search(Ahead& a, int64_t n, Date d, int64_t limit);

  Date matched_;
  int32_t previousCount_ = 0;
  int32_t previousStep_ = 1;
  int64_t reach_ = 0;               // count * step
  std::unique_ptr<Ahead[]> ahead_;  // one per lattice, for a test without Scheme
  Sieve aheadSieve_;
};

using pendra::kMaxSchemeLookAhead;

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
  bool callsScheme() const override;
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
  bool callsScheme() const override { return true; }

 private:
  scheme::Interpreter& in_;
  scheme::Value procedure_;
};

// A Scheme procedure giving a year's list of dates; called again whenever
// the tested year changes.
class SetProcSpecifier : public Specifier {
 public:
  SetProcSpecifier(scheme::Interpreter& in, scheme::Value procedure)
      : in_(in), procedure_(procedure) {}
  // "Wrong type" through the interpreter when the list is not one.
  bool test(const Date& date) override;
  // A look-ahead asks it day by day, so that the year's list is asked for
  // again whenever the tested year changes, as on the scanned days.
  bool callsScheme() const override { return true; }

 private:
  void rebuild(uint32_t year);
  // Enters one element of the year's list.
  void note(scheme::Value element, uint32_t year);

  scheme::Interpreter& in_;
  scheme::Value procedure_;
  uint32_t cachedYear_ = 0;
  // The list of cachedYear_ as looked up: bit d of listed_[m] when the date
  // d/m/cachedYear_ is an element (before any faulty tail).
  uint32_t listed_[13] = {};
  // "Wrong type" names this when a date is not listed: the non-pair that
  // ends the list, or the whole list when it is circular; none for '().
  scheme::Value badTail_;
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
  int64_t startDay_ = 0;       // its day number
  int32_t startMonth_ = 0;     // its month number
  int64_t lastDistance_ = -1;  // days from the start to the day last stepped to
  int64_t lastRemainder_ = 0;  // that distance modulo the stride
};

}  // namespace engine

#endif  // PENDRA_ENGINE_SPECIFIER_H_
