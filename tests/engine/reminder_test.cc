// Whole entries: specifiers joined by "and", the look-ahead, the actions and
// their errors, and the remind text with its fields.
#include "engine/reminder.h"

#include <memory>
#include <string>

#include "engine/keyword_table.h"
#include "gtest/gtest.h"
#include "tests/engine/engine_test.h"

namespace {

using engine::Reminder;
using engine_test::Day;
using engine_test::Selected;
using engine_test::Session;

std::unique_ptr<Reminder> Entry(Session& s, const std::string& text) {
  return engine::readEntry(s.reader(text + "."));
}

std::string EntryError(const std::string& text) {
  Session s;
  return engine_test::ReportOf([&] { Entry(s, text); });
}

std::string Repeat(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

// What the entry's actions print on one day, as the driver calls them.
std::string Perform(Session& s, Reminder& r, pendra::Date day) {
  s.out().clear();
  if (!r.specifier->match(day)) return "<not selected>";
  for (const auto& action : r.actions)
    action->perform(day, r.specifier->occurrence(day), r.specifier->matched());
  return s.out().text();
}

// What a remind text prints on 5 July 2005, for the event of 7 July 2005.
std::string Remind(Session& s, const std::string& text) {
  s.out().clear();
  engine::RemindAction action(s.in(), text.c_str());
  action.perform(Day(5, 7, 2005), Day(6, 7, 2005), Day(7, 7, 2005));
  return s.out().text();
}

TEST(Reminder, EntriesAndTheirActions) {
  Session s;
  auto birthday = Entry(s, "jul 7 remind [Birthday]");
  EXPECT_EQ(1, birthday->actionCount());
  EXPECT_EQ("Birthday\n", Perform(s, *birthday, Day(7, 7, 2006)));
  EXPECT_EQ("<not selected>", Perform(s, *birthday, Day(8, 7, 2006)));

  auto two = Entry(s, "jul 7 remind [a] remind [b]");
  EXPECT_EQ("a\nb\n", Perform(s, *two, Day(7, 7, 2005)));

  auto silent = Entry(s, "jul 7");
  EXPECT_EQ(0, silent->actionCount());
  EXPECT_EQ("", Perform(s, *silent, Day(7, 7, 2005)));

  auto both = Entry(s, "jul 7 and dec 25 remind [x]");
  EXPECT_EQ("7 jul 2005, 25 dec 2005",
            Selected(*both->specifier, Day(1, 1, 2005), Day(31, 12, 2005)));

  auto ahead = Entry(s, "jul 7 and dec 25 previous 2 days remind [x]");
  EXPECT_EQ("5 jul 2005, 6 jul 2005, 7 jul 2005, 23 dec 2005, 24 dec 2005, 25 dec 2005",
            Selected(*ahead->specifier, Day(1, 1, 2005), Day(31, 12, 2005)));
  ASSERT_TRUE(ahead->specifier->match(Day(23, 12, 2005)));
  EXPECT_EQ("25 dec 2005", engine_test::Show(ahead->specifier->matched()));

  auto weeks = Entry(s, "jul 7 previous 2 weeks remind [x]");
  EXPECT_EQ("23 jun 2005, 30 jun 2005, 7 jul 2005",
            Selected(*weeks->specifier, Day(1, 1, 2005), Day(31, 12, 2005)));

  // Even 32 actions are fine.
  auto many = Entry(s, "jul 7" + Repeat(" remind [r]", 32));
  EXPECT_EQ(32, many->actionCount());
  EXPECT_EQ(Repeat("r\n", 32), Perform(s, *many, Day(7, 7, 2005)));

  // "and" with nothing after it adds an empty specifier: every day.
  auto any = Entry(s, "jul 7 and remind [y]");
  EXPECT_EQ("y\n", Perform(s, *any, Day(1, 2, 2005)));
}

TEST(Reminder, LookAheadWords) {
  struct {
    const char* text;
    int32_t count, step;
  } cases[] = {
      {"jul 7", 0, 1},
      {"jul 7 previous", 1, 1},
      {"jul 7 previous 3", 3, 1},
      {"jul 7 previous 3 days", 3, 1},
      {"jul 7 previous day", 1, 1},
      {"jul 7 previous 2 weeks", 2, 7},
      {"jul 7 previous week remind [x]", 1, 7},
      {"previous 4 days", 4, 1},
  };
  for (const auto& c : cases) {
    Session s;
    auto r = Entry(s, c.text);
    EXPECT_EQ(c.count, r->specifier->previousCount()) << c.text;
    EXPECT_EQ(c.step, r->specifier->previousStep()) << c.text;
  }
}

TEST(Reminder, SchemeWordsLookAheadAtMostTenYears) {
  struct {
    const char* text;
    const char* report;
  } cases[] = {
      {"odd previous 3660 days", "<no error>"},
      {"odd previous 522 weeks", "<no error>"},
      {"odd previous 3661 days", "test.pnd(1): error: look-ahead too long\n"},
      {"odd previous 523 weeks", "test.pnd(1): error: look-ahead too long\n"},
      {"jan 1 and\nodd previous 2147483647 weeks", "test.pnd(2): error: look-ahead too long\n"},
      {"jan 1 previous 2147483647 weeks", "<no error>"},
  };
  for (const auto& c : cases) {
    Session s;
    s.eval("(test-specifier (lambda (d) #f) \"odd\")");
    EXPECT_EQ(c.report, engine_test::ReportOf([&] { Entry(s, c.text); })) << c.text;
  }
}

TEST(Reminder, ReportsFaultyActions) {
  struct {
    std::string text;
    const char* report;
  } cases[] = {
      {"jul 7 remind 5", "test.pnd(1): error: remind must be followed by a string\n"},
      {"jul 7\nremind", "test.pnd(2): error: remind must be followed by a string\n"},
      {"jul 7 remind\nremind [x]", "test.pnd(2): error: remind must be followed by a string\n"},
      {"jul 7 remind [a]\nmonday", "test.pnd(2): error: not an action\n"},
      {"jul 7 remind [a] 5", "test.pnd(1): error: not an action\n"},
      {"jul 7 [a]", "test.pnd(1): error: not an action\n"},
      {"jul 7 birthday", "test.pnd(1): error: not an action\n"},
      {"jan 1\nexcept feb 2", "test.pnd(2): error: not an action\n"},
      {"jan 1 every week until mar 1\nfor 3 weeks", "test.pnd(2): error: not an action\n"},
      {"jul 7 previous 2 weeks\ndays", "test.pnd(2): error: not an action\n"},
      {"jul 7 previous days\n2", "test.pnd(2): error: not an action\n"},
      {"jul 7 previous previous", "test.pnd(1): error: not an action\n"},
      {"jul 7" + Repeat(" remind [r]", 32) + "\nremind [x]",
       "test.pnd(2): error: too many actions\n"},
      {"jul 7" + Repeat(" remind [r]", 32) + "\nmonday", "test.pnd(2): error: too many actions\n"},
      // The grammar's errors pass through.
      {"jul 7 and\nfri 13 remind [x]",
       "test.pnd(2): error: day of week and day of month conflict\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.report, EntryError(c.text)) << c.text;
}

TEST(Reminder, RemindTextsAndFields) {
  Session s;
  engine::Keyword* yr = engine::internKeyword("yr");
  yr->flags = engine::FieldProcFlag;
  yr->value = s.eval("(lambda (a b c) (+ 2000 5))");
  engine::Keyword* dates = engine::internKeyword("dates");
  dates->flags = engine::FieldProcFlag;
  dates->value = s.eval("(lambda (scanned occurrence matched) (list scanned occurrence matched))");
  engine::Keyword* name = engine::internKeyword("name");
  name->flags = engine::FieldProcFlag;
  name->value = s.eval("(lambda (a b c) \"Ann\")");
  engine::Keyword* when = engine::internKeyword("when");
  when->flags = engine::FieldProcFlag;
  when->value = s.eval("(lambda (a b c) c)");
  engine::Keyword* initial = engine::internKeyword("initial");
  initial->flags = engine::FieldProcFlag;
  initial->value = s.eval("(lambda (a b c) #\\A)");
  std::string longName(127, 'n');
  engine::Keyword* cut = engine::internKeyword(longName.c_str());
  cut->flags = engine::FieldProcFlag;
  cut->value = s.eval("(lambda (a b c) 'cut)");

  struct {
    std::string text;
    const char* printed;
  } cases[] = {
      {"Birthday", "Birthday\n"},
      {"", "\n"},
      {"100%", "100%\n"},
      {"%%", "%%\n"},
      {"50% off %", "50% off %\n"},
      {"age %(age)", "age \n"},
      {"%(yr)", "2005\n"},
      {"year %(YR), %(Yr).", "year 2005, 2005.\n"},
      {"%(yr", "2005\n"},
      {"%%(yr)", "%2005\n"},
      {"(%()) %", "() %\n"},
      {"%(name) is %(name)", "Ann is Ann\n"},
      {"%(initial).", "A.\n"},
      {"on %(when)", "on #<date: 7 jul 2005>\n"},
      {"%(dates)", "(#<date: 5 jul 2005> #<date: 6 jul 2005> #<date: 7 jul 2005>)\n"},
      // A name is cut after 127 bytes; the rest is text.
      {"<%(" + longName + ")>", "<cut>\n"},
      {"<%(" + longName + "ab)>", "<cutab)>\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.printed, Remind(s, c.text)) << c.text;

  // Binding a field after the entry was read still counts.
  auto later = Entry(s, "jul 7 remind [x%(late)y]");
  EXPECT_EQ("xy\n", Perform(s, *later, Day(7, 7, 2005)));
  engine::Keyword* late = engine::internKeyword("LATE");
  late->flags = engine::FieldProcFlag;
  late->value = s.eval("(lambda (a b c) 1)");
  EXPECT_EQ("x1y\n", Perform(s, *later, Day(7, 7, 2005)));
}

TEST(Reminder, FieldErrorsEndTheLineThroughTheInterpreter) {
  Session s;
  engine::Keyword* bad = engine::internKeyword("bad");
  bad->flags = engine::FieldProcFlag;
  bad->value = s.eval("(lambda (a b) a)");
  s.out().clear();
  engine::RemindAction action(s.in(), "before %(bad) after");
  EXPECT_THROW(action.perform(Day(5, 7, 2005), Day(5, 7, 2005), Day(5, 7, 2005)),
               engine_test::SchemeError);
  EXPECT_EQ(0u, s.out().text().find("before Wrong number of arguments: #<procedure"))
      << s.out().text();
}

}  // namespace
