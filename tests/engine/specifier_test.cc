// Specifiers built from their constructors, run over ranges of days.
#include "engine/specifier.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/keyword_table.h"
#include "gtest/gtest.h"
#include "scheme/objects.h"
#include "tests/engine/engine_test.h"

namespace {

using engine::DateSpecifier;
using engine::EveryRule;
using engine::NthWeekdayRule;
using engine::WeekdayOffsetRule;
using engine_test::Day;
using engine_test::Selected;
using engine_test::Show;
using pendra::Date;

// Weekdays, 1 = Sunday.
constexpr uint8_t kSun = 1, kMon = 2, kFri = 6, kSat = 7;

Date Pattern(int day, int month, int year, int weekday = 0) {
  Date p(static_cast<uint8_t>(day), static_cast<uint8_t>(month), static_cast<uint32_t>(year));
  p.weekday = static_cast<uint8_t>(weekday);
  return p;
}

std::unique_ptr<DateSpecifier> Plain(Date pattern) {
  return std::make_unique<DateSpecifier>(nullptr, pattern);
}

std::unique_ptr<DateSpecifier> With(std::unique_ptr<engine::DateRule> rule, Date pattern) {
  return std::make_unique<DateSpecifier>(std::move(rule), pattern);
}

std::unique_ptr<EveryRule> Every(int n, uint32_t step) {
  return std::make_unique<EveryRule>(n, static_cast<int32_t>(step));
}

constexpr uint32_t kDay = 1, kWeek = 7, kMonth = engine::kMonthUnit, kYear = engine::kYearUnit;

TEST(Specifier, PlainPatterns) {
  auto christmas = Plain(Pattern(25, 12, 0));
  EXPECT_EQ("25 dec 2005, 25 dec 2006", Selected(*christmas, Day(1, 1, 2005), Day(31, 12, 2006)));
  EXPECT_EQ("25 dec 2006", Show(christmas->occurrence(Day(25, 12, 2006))));

  auto once = Plain(Pattern(25, 12, 2005));
  EXPECT_EQ("25 dec 2005", Selected(*once, Day(1, 1, 2004), Day(31, 12, 2007)));

  auto fridays = Plain(Pattern(0, 0, 0, kFri));
  EXPECT_EQ("1 jul 2005, 8 jul 2005", Selected(*fridays, Day(1, 7, 2005), Day(10, 7, 2005)));
  EXPECT_EQ("8 jul 2005", Show(fridays->occurrence(Day(8, 7, 2005))));

  auto everyDay = Plain(Date());
  EXPECT_EQ("30 jun 2005, 1 jul 2005", Selected(*everyDay, Day(30, 6, 2005), Day(1, 7, 2005)));

  // A day the calendar does not have is never selected.
  auto impossible = Plain(Pattern(31, 2, 0));
  EXPECT_EQ("", Selected(*impossible, Day(1, 1, 2004), Day(31, 12, 2005)));

  // The occurrence of a pattern with a year keeps that year.
  auto anniversary = With(Every(1, kYear), Pattern(25, 12, 1990));
  EXPECT_EQ("25 dec 1990", Show(anniversary->occurrence(Day(25, 12, 2005))));
}

TEST(Specifier, LookAheadReportsTheMatchedDay) {
  auto friday = Plain(Pattern(0, 0, 0, kFri));
  friday->setPrevious(1, 1);
  EXPECT_EQ("7 jul 2005, 8 jul 2005, 14 jul 2005",
            Selected(*friday, Day(4, 7, 2005), Day(14, 7, 2005)));
  ASSERT_TRUE(friday->match(Day(7, 7, 2005)));
  EXPECT_EQ("8 jul 2005", Show(friday->matched()));
  EXPECT_EQ("7 jul 2005", Show(friday->occurrence(Day(7, 7, 2005))));
  ASSERT_TRUE(friday->match(Day(8, 7, 2005)));
  EXPECT_EQ("8 jul 2005", Show(friday->matched()));
  // A failed match leaves the scanned day.
  ASSERT_FALSE(friday->match(Day(5, 7, 2005)));
  EXPECT_EQ("5 jul 2005", Show(friday->matched()));

  auto newYear = Plain(Pattern(1, 1, 0));
  newYear->setPrevious(3, 1);
  ASSERT_TRUE(newYear->match(Day(29, 12, 2005)));
  EXPECT_EQ("1 jan 2006", Show(newYear->matched()));
  EXPECT_EQ(pendra::weekdayOf(1, 1, 2006), newYear->matched().weekday);
  EXPECT_EQ("29 dec 2005, 30 dec 2005, 31 dec 2005, 1 jan 2006",
            Selected(*newYear, Day(20, 12, 2005), Day(10, 1, 2006)));

  auto weeks = Plain(Pattern(7, 7, 0));
  weeks->setPrevious(2, 7);
  EXPECT_EQ("23 jun 2005, 30 jun 2005, 7 jul 2005",
            Selected(*weeks, Day(1, 6, 2005), Day(31, 7, 2005)));
  ASSERT_TRUE(weeks->match(Day(23, 6, 2005)));
  EXPECT_EQ("7 jul 2005", Show(weeks->matched()));

  // The weekday of each day looked at ahead is right, across month ends.
  auto sunday = Plain(Pattern(0, 0, 0, kSun));
  sunday->setPrevious(3, 1);
  ASSERT_TRUE(sunday->match(Day(26, 2, 2004)));
  EXPECT_EQ("29 feb 2004", Show(sunday->matched()));
  ASSERT_TRUE(sunday->match(Day(30, 1, 2004)));
  EXPECT_EQ("1 feb 2004", Show(sunday->matched()));
  EXPECT_FALSE(sunday->match(Day(25, 2, 2004)));
  auto marchSaturdays = Plain(Pattern(0, 3, 0, kSat));
  marchSaturdays->setPrevious(1, 7);
  ASSERT_TRUE(marchSaturdays->match(Day(28, 2, 2004)));
  EXPECT_EQ("6 mar 2004", Show(marchSaturdays->matched()));
}

// The look-ahead by its definition: the day, then each step ahead in turn.
std::string WalkAhead(engine::Specifier& s, Date day) {
  for (int32_t i = 0; i <= s.previousCount(); ++i) {
    if (s.test(day)) return Show(day);
    day.addDays(s.previousStep());
    day.weekday = pendra::weekdayOf(day.day, day.month, day.year);
  }
  return "<none>";
}

TEST(Specifier, LookAheadAgreesWithTheWalk) {
  std::unique_ptr<engine::Specifier> specs[] = {
      Plain(Pattern(25, 12, 0)),
      Plain(Pattern(0, 0, 0, kFri)),
      Plain(Pattern(29, 2, 0)),
      With(std::make_unique<NthWeekdayRule>(6, kMon), Pattern(0, 5, 0)),
      With(std::make_unique<WeekdayOffsetRule>(1u << kSat | 1u << kSun, true, false),
           Pattern(1, 0, 0)),
      With(Every(9, kDay), Pattern(3, 3, 2005)),
  };
  for (auto& spec : specs) {
    for (auto [count, step] : {std::pair{400, 1}, std::pair{60, 7}}) {
      spec->setPrevious(count, step);
      for (Date day = Day(1, 1, 2004); day.year < 2006; day.addDays(1)) {
        day.weekday = pendra::weekdayOf(day.day, day.month, day.year);
        std::string walked = WalkAhead(*spec, day);
        std::string matched = spec->match(day) ? Show(spec->matched()) : "<none>";
        ASSERT_EQ(walked, matched) << Show(day) << " previous " << count << " x " << step;
      }
    }
  }
}

TEST(Specifier, LongLookAheadFindsTheNextSuccessAtOnce) {
  struct {
    std::unique_ptr<engine::Specifier> spec;
    int32_t count, step;
    Date day;
    const char* matched;
  } cases[] = {
      {Plain(Pattern(30, 2, 0)), INT32_MAX, 1, Day(1, 1, 2005), "<none>"},
      {Plain(Pattern(1, 1, 0)), INT32_MAX, 1, Day(2, 1, 2005), "1 jan 2006"},
      {Plain(Pattern(25, 12, 2012)), INT32_MAX, 1, Day(1, 1, 2005), "25 dec 2012"},
      {Plain(Pattern(29, 2, 0)), INT32_MAX, 1, Day(1, 3, 2097), "29 feb 2104"},
      {Plain(Pattern(0, 0, 0, kFri)), INT32_MAX, 7, Day(4, 7, 2005), "<none>"},
      {Plain(Pattern(0, 7, 0, kMon)), INT32_MAX, 7, Day(5, 9, 2005), "3 jul 2006"},
      {With(std::make_unique<NthWeekdayRule>(6, kMon), Pattern(0, 5, 0)), INT32_MAX, 1,
       Day(1, 6, 2005), "29 may 2006"},
      // Never past the last day a date can hold.
      {Plain(Pattern(1, 1, 0)), 5, 1, Day(30, 12, 65535), "<none>"},
      {Plain(Pattern(31, 12, 0)), INT32_MAX, 1, Day(1, 1, 65535), "31 dec 65535"},
      {Plain(Pattern(0, 0, 0, kFri)), INT32_MAX, 7, Day(28, 12, 65535), "<none>"},
  };
  for (auto& c : cases) {
    c.spec->setPrevious(c.count, c.step);
    std::string matched = c.spec->match(c.day) ? Show(c.spec->matched()) : "<none>";
    EXPECT_EQ(c.matched, matched) << Show(c.day);
  }
}

TEST(Specifier, NthWeekday) {
  struct {
    uint8_t n, weekday;
    Date pattern;
    Date from, to;
    const char* selected;
  } cases[] = {
      {6, kSun, Pattern(0, 7, 0), Day(1, 1, 2005), Day(31, 12, 2005), "31 jul 2005"},
      {6, kSat, Pattern(0, 2, 0), Day(1, 1, 2003), Day(31, 12, 2003), "22 feb 2003"},
      {1, kMon, Pattern(0, 0, 0), Day(1, 1, 2005), Day(31, 3, 2005),
       "3 jan 2005, 7 feb 2005, 7 mar 2005"},
      {5, kMon, Pattern(0, 7, 2005), Day(1, 1, 2005), Day(31, 12, 2005), ""},
      {5, kSun, Pattern(0, 7, 2005), Day(1, 1, 2005), Day(31, 12, 2005), "31 jul 2005"},
      {6, kFri, Pattern(0, 0, 0), Day(1, 1, 2005), Day(31, 3, 2005),
       "28 jan 2005, 25 feb 2005, 25 mar 2005"},
      {2, kFri, Pattern(0, 0, 2006), Day(1, 12, 2005), Day(28, 2, 2006),
       "13 jan 2006, 10 feb 2006"},
  };
  for (const auto& c : cases) {
    auto spec = With(std::make_unique<NthWeekdayRule>(c.n, c.weekday), c.pattern);
    EXPECT_EQ(c.selected, Selected(*spec, c.from, c.to)) << int(c.n) << " " << int(c.weekday);
  }
}

TEST(Specifier, WeekdayBeforeOrAfter) {
  struct {
    uint8_t mask;
    bool inclusive, backward;
    Date pattern;
    Date from, to;
    const char* selected;
  } cases[] = {
      // Into January through the entry made from December of the year before.
      {1 << kSat, false, false, Pattern(30, 12, 0), Day(1, 12, 2006), Day(31, 1, 2007),
       "6 jan 2007"},
      // Into December through the entry made from January of the next year.
      {1 << kMon, false, true, Pattern(3, 1, 0), Day(1, 12, 2004), Day(31, 1, 2005), "27 dec 2004"},
      // 7 January 2008 is a Monday: the Monday before it is 31 December.
      {1 << kMon, false, true, Pattern(7, 1, 0), Day(1, 12, 2007), Day(31, 1, 2008), "31 dec 2007"},
      {1 << kMon, true, true, Pattern(7, 1, 0), Day(1, 12, 2007), Day(31, 1, 2008), "7 jan 2008"},
      {1 << kSun, true, true, Pattern(25, 12, 0), Day(1, 1, 2005), Day(31, 12, 2006),
       "25 dec 2005, 24 dec 2006"},
      // In every month when the pattern has none.
      {1 << kSat | 1 << kSun, false, false, Pattern(1, 0, 0), Day(1, 1, 2005), Day(31, 3, 2005),
       "2 jan 2005, 5 feb 2005, 5 mar 2005"},
      {1 << kFri, false, true, Pattern(1, 0, 2005), Day(1, 12, 2004), Day(28, 2, 2005),
       "31 dec 2004, 28 jan 2005, 25 feb 2005"},
      // No day: never.
      {1 << kMon, false, true, Pattern(0, 1, 0), Day(1, 12, 2004), Day(31, 1, 2005), ""},
      // 31 April does not exist; the step still starts from it.
      {1 << kMon, false, false, Pattern(31, 4, 2005), Day(1, 4, 2005), Day(31, 5, 2005),
       "2 may 2005"},
  };
  for (const auto& c : cases) {
    auto spec =
        With(std::make_unique<WeekdayOffsetRule>(c.mask, c.inclusive, c.backward), c.pattern);
    EXPECT_EQ(c.selected, Selected(*spec, c.from, c.to))
        << Show(c.pattern) << " mask " << int(c.mask);
  }

  // A look-ahead that crosses New Year rebuilds the year's table both ways.
  auto spec = With(std::make_unique<WeekdayOffsetRule>(1 << kMon, false, true), Pattern(3, 1, 0));
  spec->setPrevious(2, 1);
  EXPECT_EQ("25 dec 2004, 26 dec 2004, 27 dec 2004, 31 dec 2005, 1 jan 2006, 2 jan 2006",
            Selected(*spec, Day(20, 12, 2004), Day(10, 1, 2006)));
}

TEST(Specifier, EveryWithLimitsAndExceptions) {
  struct Case {
    const char* text;  // what the user would write
    std::unique_ptr<DateSpecifier> spec;
    Date from, to;
    const char* selected;
  };
  std::vector<Case> cases;
  auto add = [&](const char* text, std::unique_ptr<EveryRule> rule, Date pattern, Date from,
                 Date to, const char* selected) {
    cases.push_back({text, With(std::move(rule), pattern), from, to, selected});
  };

  auto forYears = Every(1, kYear);
  forYears->setFor(3, kYear);
  add("jan 15 2005 every year for 3 years", std::move(forYears), Pattern(15, 1, 2005),
      Day(1, 1, 2003), Day(31, 12, 2009), "15 jan 2005, 15 jan 2006, 15 jan 2007");
  add("jan 15 2005 every year", Every(1, kYear), Pattern(15, 1, 2005), Day(1, 1, 2003),
      Day(31, 12, 2007), "15 jan 2005, 15 jan 2006, 15 jan 2007");
  add("jan 15 2005 every 2 years", Every(2, kYear), Pattern(15, 1, 2005), Day(1, 1, 2003),
      Day(31, 12, 2009), "15 jan 2005, 15 jan 2007, 15 jan 2009");
  // Without a year, the start day of every year.
  add("jan 15 every 2 years", Every(2, kYear), Pattern(15, 1, 0), Day(1, 1, 2005),
      Day(31, 12, 2006), "15 jan 2005, 15 jan 2006");

  auto spring = Every(1, kMonth);
  spring->setFor(6, kMonth);
  spring->addException(Pattern(1, 6, 0));
  add("mar 1 every month for 6 months except jun 1", std::move(spring), Pattern(1, 3, 0),
      Day(1, 1, 2005), Day(31, 3, 2006),
      "1 mar 2005, 1 apr 2005, 1 may 2005, 1 jul 2005, 1 aug 2005, 1 mar 2006");
  add("jan 31 every month", Every(1, kMonth), Pattern(31, 1, 0), Day(1, 1, 2005), Day(31, 12, 2005),
      "31 jan 2005, 31 mar 2005, 31 may 2005, 31 jul 2005, 31 aug 2005, 31 oct 2005, "
      "31 dec 2005");
  add("nov 15 every 2 months", Every(2, kMonth), Pattern(15, 11, 0), Day(1, 1, 2005),
      Day(31, 3, 2006), "15 nov 2005");
  auto threeMonths = Every(1, kMonth);
  threeMonths->setFor(3, kMonth);
  add("jan 31 2005 every month for 3 months", std::move(threeMonths), Pattern(31, 1, 2005),
      Day(1, 1, 2005), Day(31, 12, 2005), "31 jan 2005, 31 mar 2005");

  auto fortnight = Every(2, kWeek);
  fortnight->setUntil(Pattern(1, 3, 2005));
  add("jan 1 2005 every 2 weeks until mar 1 2005", std::move(fortnight), Pattern(1, 1, 2005),
      Day(1, 12, 2004), Day(30, 4, 2005),
      "1 jan 2005, 15 jan 2005, 29 jan 2005, 12 feb 2005, 26 feb 2005");
  auto onStep = Every(2, kWeek);
  onStep->setUntil(Pattern(29, 1, 2005));
  add("jan 1 2005 every 2 weeks until jan 29 2005", std::move(onStep), Pattern(1, 1, 2005),
      Day(1, 1, 2005), Day(30, 4, 2005), "1 jan 2005, 15 jan 2005, 29 jan 2005");
  auto yearly = Every(1, kWeek);
  yearly->setUntil(Pattern(1, 3, 0));
  add("jan 1 every week until mar 1", std::move(yearly), Pattern(1, 1, 0), Day(20, 2, 2005),
      Day(10, 1, 2006), "26 feb 2005, 1 jan 2006, 8 jan 2006");

  add("jan 1 every 10 days", Every(10, kDay), Pattern(1, 1, 0), Day(10, 12, 2005), Day(31, 1, 2006),
      "17 dec 2005, 27 dec 2005, 1 jan 2006, 11 jan 2006, 21 jan 2006, 31 jan 2006");
  add("jan 1 every 10 days, leap year", Every(10, kDay), Pattern(1, 1, 0), Day(20, 12, 2004),
      Day(31, 12, 2004), "26 dec 2004");
  auto twoWeeks = Every(3, kDay);
  twoWeeks->setFor(2, kWeek);
  add("jan 1 2005 every 3 days for 2 weeks", std::move(twoWeeks), Pattern(1, 1, 2005),
      Day(1, 12, 2004), Day(31, 1, 2005),
      "1 jan 2005, 4 jan 2005, 7 jan 2005, 10 jan 2005, 13 jan 2005");
  auto noneLeft = Every(1, kDay);
  noneLeft->setFor(0, kDay);
  add("jan 1 2005 every day for 0 days", std::move(noneLeft), Pattern(1, 1, 2005), Day(1, 1, 2005),
      Day(31, 1, 2005), "");
  add("jan 1 every 0 days", Every(0, kDay), Pattern(1, 1, 0), Day(1, 1, 2005), Day(31, 1, 2005),
      "1 jan 2005");

  auto skipOne = Every(1, kYear);
  skipOne->addException(Pattern(4, 7, 2006));
  skipOne->addException(Pattern(5, 7, 0));
  add("jul 4 2005 every year except jul 4 2006 except jul 5", std::move(skipOne),
      Pattern(4, 7, 2005), Day(1, 1, 2004), Day(31, 12, 2007), "4 jul 2005, 4 jul 2007");

  for (Case& c : cases) EXPECT_EQ(c.selected, Selected(*c.spec, c.from, c.to)) << c.text;
}

TEST(Specifier, AnyOfSelectsWhatAnyMemberSelects) {
  std::vector<std::unique_ptr<engine::Specifier>> members;
  members.push_back(Plain(Pattern(1, 1, 0)));
  members.push_back(Plain(Pattern(4, 7, 0)));
  members.push_back(With(Every(1, kYear), Pattern(25, 12, 1990)));
  engine::AnyOfSpecifier any(std::move(members));
  EXPECT_EQ(3, any.count());
  EXPECT_EQ("1 jan 2005, 4 jul 2005, 25 dec 2005",
            Selected(any, Day(1, 1, 2005), Day(31, 12, 2005)));
  // The whole reports the scanned day, not a member's occurrence.
  EXPECT_EQ("25 dec 2005", Show(any.occurrence(Day(25, 12, 2005))));
}

TEST(Specifier, TestProcedureDecidesEachDay) {
  engine_test::Session s;
  s.define("wanted", scheme::Value::makeHost(pendra::packDate(8, 7, 2005)));
  s.eval("(define calls 0)");
  engine::TestProcSpecifier spec(s.in(),
                                 s.eval("(lambda (d) (set! calls (+ calls 1)) (eq? d wanted))"));
  EXPECT_EQ("8 jul 2005", Selected(spec, Day(1, 7, 2005), Day(31, 7, 2005)));
  EXPECT_EQ(scheme::Value::makeNumber(31), s.global("calls"));

  // Anything but #f selects; the procedure may end in a tail call.
  engine::TestProcSpecifier zero(s.in(), s.eval("(lambda (d) ((lambda () 0)))"));
  EXPECT_EQ("1 jul 2005, 2 jul 2005", Selected(zero, Day(1, 7, 2005), Day(2, 7, 2005)));
}

TEST(Specifier, SetProcedureIsCalledOncePerYear) {
  engine_test::Session s;
  scheme::Value days = s.in().emptyList();
  days = scheme::cons(s.in(), scheme::Value::makeHost(pendra::packDate(1, 1, 2005)), days);
  days = scheme::cons(s.in(), scheme::Value::makeNumber(5), days);
  // A host word with stray bits is not the date it unpacks to.
  days = scheme::cons(s.in(), scheme::Value::makeHost(pendra::packDate(2, 1, 2005) | 0x40000000u),
                      days);
  s.define("days", days);
  s.eval("(define years '())");
  engine::SetProcSpecifier spec(s.in(), s.eval("(lambda (y) (set! years (cons y years)) days)"));
  EXPECT_EQ("1 jan 2005", Selected(spec, Day(1, 12, 2004), Day(31, 1, 2006)));
  EXPECT_EQ("(2006 2005 2004)", [&] {
    s.out().clear();
    s.eval("(write years)");
    return s.out().text();
  }());

  // Not a list: the interpreter reports it.
  engine::SetProcSpecifier notList(s.in(), s.eval("(lambda (y) 5)"));
  s.out().clear();
  EXPECT_THROW(notList.match(Day(1, 1, 2005)), engine_test::SchemeError);
  EXPECT_EQ(0u, s.out().text().find("Wrong type: 5\n")) << s.out().text();

  s.define("wanted", scheme::Value::makeHost(pendra::packDate(2, 1, 2005)));
  engine::SetProcSpecifier improper(s.in(), s.eval("(lambda (y) (cons wanted 7))"));
  EXPECT_TRUE(improper.match(Day(2, 1, 2005)));
  s.out().clear();
  EXPECT_THROW(improper.match(Day(3, 1, 2005)), engine_test::SchemeError);
  EXPECT_EQ(0u, s.out().text().find("Wrong type: 7\n")) << s.out().text();

  // A circular list is no list: the whole of it is reported.
  s.eval("(define loop (list wanted wanted))");
  s.eval("(set-cdr! (cdr loop) loop)");
  engine::SetProcSpecifier circular(s.in(), s.eval("(lambda (y) loop)"));
  EXPECT_TRUE(circular.match(Day(2, 1, 2005)));
  s.out().clear();
  EXPECT_THROW(circular.match(Day(3, 1, 2005)), engine_test::SchemeError);
  EXPECT_EQ(0u, s.out().text().find("Wrong type: (#<date: 2 jan 2005>")) << s.out().text();

  // The year's list is read when the year is first tested: later changes
  // to it show from the next year on.
  s.eval("(define mine (list (date 5 1 2005) (date 5 1 2006)))");
  engine::SetProcSpecifier copied(s.in(), s.eval("(lambda (y) mine)"));
  EXPECT_TRUE(copied.match(Day(5, 1, 2005)));
  s.eval("(set-car! mine (date 6 1 2005))");
  s.eval("(set-car! (cdr mine) (date 6 1 2006))");
  EXPECT_EQ("5 jan 2005, 6 jan 2006", Selected(copied, Day(5, 1, 2005), Day(31, 1, 2006)));
}

}  // namespace
