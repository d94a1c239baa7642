// The date procedures, the binders and include, through whole pendcal runs.
#include <string>

#include "engine/pendcal_harness.h"
#include "gtest/gtest.h"

namespace {

using pendcal_test::Options;
using pendcal_test::RunPendcal;
using pendcal_test::RunReminders;

// The report of a Scheme error raised by the top-level expression on line 1.
std::string Report(const std::string& message, const std::string& expr) {
  return message + "\n\neval " + expr + "\n    test.pnd(1): " + expr + "\n";
}

TEST(CalendarProcs, MakingAndTakingApartDates) {
  struct {
    const char* expr;
    const char* printed;
  } cases[] = {
      {"(date 29 2 2000)", "#<date: 29 feb 2000>"},
      {"(date 1 1 1800)", "#<date: 1 jan 1800>"},
      {"(date 31 12 3000)", "#<date: 31 dec 3000>"},
      {"(date? (date 1 1 2000))", "#t"},
      {"(date? 5)", "#f"},
      {"(date? \"1 jan 2000\")", "#f"},
      {"(list (day (date 7 7 2005)) (month (date 7 7 2005)) (year (date 7 7 2005)))", "(7 7 2005)"},
      {"(day-name (date 7 7 2005))", "thursday"},
      {"(day-name (date 1 1 1800))", "wednesday"},
      {"(eq? (day-name (date 9 7 2005)) 'saturday)", "#t"},
      {"(days-between (date 1 1 2001) (date 1 1 2000))", "366"},
      {"(days-between (date 1 1 2000) (date 1 1 2001))", "-366"},
      {"(date+ (date 31 12 2005) 1)", "#<date: 1 jan 2006>"},
      {"(date- (date 1 3 2004) 1)", "#<date: 29 feb 2004>"},
      {"(date+ (date 1 1 2000) 0)", "#<date: 1 jan 2000>"},
      {"(date+ (date 1 1 2000) -31)", "#<date: 1 dec 1999>"},
      {"(date- (date 1 1 2000) -1)", "#<date: 2 jan 2000>"},
      {"(date- (date 1 1 1800) 1)", "#<date: 31 dec 1799>"},
      {"(days-between (date- (date 1 1 1800) 366) (date 1 1 1800))", "-366"},
      {"(date+ (date 1 1 2000) 5000000)", "#<date: 14 jul 15689>"},
      {"(eqv? (date 1 1 2000) (date+ (date 31 12 1999) 1))", "#t"},
      {"(equal? (list (date 1 1 2000)) (list (date 1 1 2000)))", "#t"},
      {"(eqv? (date 1 1 2000) (date 2 1 2000))", "#f"},
  };
  for (const auto& c : cases) {
    auto r = RunReminders(c.expr);
    EXPECT_EQ(0, r.status) << c.expr;
    EXPECT_EQ(std::string(c.printed) + "\n", r.out) << c.expr;
  }
  // display and write of a date are the same.
  EXPECT_EQ("#<date: 7 jul 2005>#<date: 7 jul 2005>",
            RunReminders("(display (date 7 7 2005)) (write (date 7 7 2005))").out);
}

TEST(CalendarProcs, StepsEqualDayByDaySteps) {
  // date+ jumps; walking one day at a time must land on the same days.
  auto r = RunReminders(
      "(define (walk d n) (if (= n 0) d (walk (date+ d 1) (- n 1))))\n"
      "(define (back d n) (if (= n 0) d (back (date- d 1) (- n 1))))\n"
      "(define (check d n) (and (eqv? (walk d n) (date+ d n)) (eqv? (back d n) (date- d n))))\n"
      "(list (check (date 28 2 1900) 1500) (check (date 1 3 2000) 3000) (check (date 31 12 1800) "
      "800))\n");
  EXPECT_EQ("(#t #t #t)\n", r.out);
}

TEST(CalendarProcs, Errors) {
  struct {
    const char* expr;
    const char* message;
  } cases[] = {
      {"(date 29 2 1900)", "Day too big or too small: 29"},
      {"(date 31 4 2005)", "Day too big or too small: 31"},
      {"(date 0 1 2005)", "Day too big or too small: 0"},
      {"(date 1 13 2005)", "Month too big or too small: 13"},
      {"(date 1 13 1)", "Month too big or too small: 13"},
      {"(date 0 0 0)", "Month too big or too small: 0"},
      {"(date 1 1 1799)", "Year too big or too small: 1799"},
      {"(date 1 1 3001)", "Year too big or too small: 3001"},
      {"(date 1 1 \"2000\")", "Wrong type: \"2000\""},
      {"(day 5)", "Wrong type: 5"},
      {"(month #\\j)", "Wrong type: #\\j"},
      {"(day-name \"x\")", "Wrong type: \"x\""},
      {"(days-between (date 1 1 2000) 5)", "Wrong type: 5"},
      {"(days-between 4 5)", "Wrong type: 4"},
      {"(date+ 1 1)", "Wrong type: 1"},
      {"(date+ (date 1 1 2000) 500000000)", "Date out of range: 500000000"},
      {"(date- (date 1 1 2000) 800000)", "Date out of range: 800000"},
      {"(test-specifier 5 \"odd\")", "Not a callable: 5"},
      {"(test-specifier if \"odd\")", "Not a callable: #<syntax: if>"},
      {"(set-specifier #t \"odd\")", "Not a callable: #t"},
      {"(remind-field \"f\" \"odd\")", "Not a callable: \"f\""},
      {"(test-specifier car 5)", "Wrong type: 5"},
      {"(include \"sub/none.pnd\")", "Not a valid filename: \"sub/none.pnd\""},
      {"(include \"none.pnd\")", "Not a valid filename: \"none.pnd\""},
      {"(include 5)", "Wrong type: 5"},
  };
  for (const auto& c : cases) {
    auto r = RunReminders(std::string(c.expr) + "\njan 1 remind [never read].\n");
    EXPECT_EQ(1, r.status) << c.expr;
    EXPECT_EQ(Report(c.message, c.expr), r.out) << c.expr;
  }
}

TEST(CalendarProcs, BindersGiveWordsMeaning) {
  auto r = RunReminders(
      "(test-specifier (lambda (d) (= (day d) 13)) \"thirteenth\")\n"
      "thirteenth remind [13th].\n"
      "(set-specifier (lambda (y) (list (date 1 5 y))) \"MayDay\")\n"
      "mayday remind [may day].\n"
      "(remind-field (lambda (a b c) (year a)) \"yr\")\n"
      "jul 4 remind [year %(YR)].\n",
      {"-a", "73", "1", "may", "2005"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(
      "sun  1 may 2005: may day\n"
      "fri 13 may 2005: 13th\n"
      "mon 13 jun 2005: 13th\n"
      "mon  4 jul 2005: year 2005\n"
      "wed 13 jul 2005: 13th\n",
      r.out);
}

TEST(CalendarProcs, RebindingABuiltInWord) {
  // monday (any case) stops naming a weekday once bound.
  auto r = RunReminders(
      "monday remind [a monday].\n"
      "(test-specifier (lambda (d) (= (day d) 5)) \"Monday\")\n"
      "monday remind [the fifth].\n"
      "mon remind [still mon].\n",
      {"-a", "6", "1", "sep", "2005"});
  EXPECT_EQ(
      "mon  5 sep 2005: a monday\n"
      "mon  5 sep 2005: the fifth\n"
      "mon  5 sep 2005: still mon\n",
      r.out);
  // Binding again replaces the procedure.
  r = RunReminders(
      "(remind-field (lambda (a b c) 1) \"n\") (remind-field (lambda (a b c) 2) \"n\")\n"
      "remind [%(n)].\n");
  EXPECT_EQ("2\n", r.out);
}

TEST(CalendarProcs, SetProceduresAreCalledOncePerYear) {
  auto r = RunReminders(
      "(set-specifier (lambda (y) (display \"called \") (display y) (newline)\n"
      "                 (list (date 1 1 y) (date 31 12 y))) \"ends\")\n"
      "ends remind [end of year].\n",
      {"-b", "400", "-a", "400", "1", "jan", "2005"});
  EXPECT_EQ(
      "called 2003\n"
      "wed 31 dec 2003: end of year\n"
      "called 2004\n"
      "thu  1 jan 2004: end of year\n"
      "fri 31 dec 2004: end of year\n"
      "called 2005\n"
      "sat  1 jan 2005: end of year\n"
      "sat 31 dec 2005: end of year\n"
      "called 2006\n"
      "sun  1 jan 2006: end of year\n",
      r.out);
  // Something other than a list of dates is a Scheme error during the scan.
  r = RunReminders("(set-specifier (lambda (y) y) \"bad\")\nbad remind [x].\n");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(0u, r.out.find("Wrong type: ")) << r.out;
}

TEST(CalendarProcs, LookAheadAsksSchemeWordsDayByDay) {
  // Each scanned day walks its look-ahead afresh, and a set procedure is
  // asked again whenever the tested year changes.
  struct {
    const char* file;
    const char* report;
  } cases[] = {
      {"(set-specifier (lambda (y) (display y) (newline) (list (date 1 1 y))) \"ny\")\n"
       "ny previous 2 days remind [x].\n",
       "2004\n2005\nthu 30 dec 2004: x\n2004\n2005\nfri 31 dec 2004: x\nsat  1 jan 2005: x\n"},
      {"(define calls 0)\n"
       "(remind-field (lambda (s o m) calls) \"calls\")\n"
       "(test-specifier (lambda (d) (set! calls (+ calls 1)) (= (day d) 1)) \"first\")\n"
       "dec 25 and first previous 2 days remind [%(calls)].\n",
       "thu 30 dec 2004: 3\nfri 31 dec 2004: 5\nsat  1 jan 2005: 6\n"},
  };
  for (const auto& c : cases) {
    auto r = RunReminders(c.file, {"-b", "0", "-a", "2", "30", "dec", "2004"});
    EXPECT_EQ(0, r.status) << c.file;
    EXPECT_EQ(c.report, r.out) << c.file;
  }
}

TEST(CalendarProcs, FieldsShowValuesWithDisplay) {
  auto r = RunReminders(
      "(remind-field (lambda (s o m) \"text\") \"str\")\n"
      "(remind-field (lambda (s o m) (days-between m s)) \"left\")\n"
      "(remind-field (lambda (s o m) m) \"when\")\n"
      "(remind-field (lambda (s o m) (list \"a\" #\\b)) \"lst\")\n"
      "(remind-field (lambda (s o m) #\\c) \"chr\")\n"
      "jul 7 previous 2 days remind [%(str) %(left) %(when) %(lst) %(chr)].\n",
      {"-a", "2", "5", "jul", "2005"});
  EXPECT_EQ(
      "tue  5 jul 2005: text 2 #<date: 7 jul 2005> (\"a\" #\\b) c\n"
      "wed  6 jul 2005: text 1 #<date: 7 jul 2005> (\"a\" #\\b) c\n"
      "thu  7 jul 2005: text 0 #<date: 7 jul 2005> (\"a\" #\\b) c\n",
      r.out);
  // The age of someone born on the matched day's date.
  r = RunReminders(
      "(define born (date 7 7 1970))\n"
      "(remind-field (lambda (s o m) (- (year m) (year born))) \"age\")\n"
      "jul 7 remind [Kim turns %(age)].\n",
      {"7", "jul", "2005"});
  EXPECT_EQ("Kim turns 35\n", r.out);
}

TEST(CalendarProcs, IncludeOrderAndSearch) {
  std::map<std::string, std::string> files = {
      {"main/main.pnd", "jan 1 remind [main 1].\n(include \"a.pnd\")\njan 1 remind [main 2].\n"},
      {"main/a.pnd", "jan 1 remind [a 1].\n(include \"b.pnd\")\njan 1 remind [a 2].\n"},
      {"main/b.pnd", "jan 1 remind [b].\n"},
  };
  // Run from another directory: a.pnd and b.pnd are found next to main.pnd.
  Options elsewhere;
  elsewhere.cwd = "elsewhere";
  auto r = RunPendcal({"-f", "../main/main.pnd", "1", "jan", "2005"}, files, elsewhere);
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("main 1\na 1\nb\na 2\nmain 2\n", r.out);

  // The name as given wins over the search: the current directory's a.pnd.
  files["elsewhere/a.pnd"] = "jan 1 remind [cwd a].\n";
  r = RunPendcal({"-f", "../main/main.pnd", "1", "jan", "2005"}, files, elsewhere);
  EXPECT_EQ("main 1\ncwd a\nmain 2\n", r.out);

  // An included file's own directory is searched first, then the includer's.
  r = RunPendcal({"-f", "top.pnd", "1", "jan", "2005"},
                 {{"top.pnd", "(include \"sub/mid.pnd\")\n"},
                  {"sub/mid.pnd", "(include \"leaf.pnd\") (include \"up.pnd\")\n"},
                  {"sub/leaf.pnd", "jan 1 remind [leaf].\n"},
                  {"up.pnd", "jan 1 remind [up].\n"}});
  EXPECT_EQ("leaf\nup\n", r.out);

  // A name with a folder in it is looked for the same way, so it works
  // from any current directory.
  r = RunPendcal({"-f", "main/main.pnd", "1", "jan", "2005"},
                 {{"main/main.pnd", "(include \"x/b.pnd\")\n"}, {"main/x/b.pnd", "remind [b]."}});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("b\n", r.out);
}

TEST(CalendarProcs, IncludeRefusals) {
  // A joined path too long for the search is refused, never overflowed.
  std::string longName(1100, 'n');
  auto r = RunReminders("(include (make-string 1100 #\\n))\n");
  EXPECT_EQ(1, r.status);
  // The report cuts the name at 1,000 characters.
  EXPECT_EQ(0u, r.out.find("Not a valid filename: \"" + longName.substr(0, 995) + " ...\n"));
  // During the scan there is no file being read.
  r = RunPendcal({"-f", "test.pnd", "1", "jan", "2005"},
                 {{"test.pnd",
                   "(remind-field (lambda (a b c) (include \"x.pnd\")) \"inc\")\n"
                   "remind [%(inc)].\n"},
                  {"x.pnd", "remind [x]."}});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(0u, r.out.find("Not a valid filename: \"x.pnd\"\n")) << r.out;
  // A directory is no file to include.
  r = RunPendcal({"-f", "test.pnd"}, {{"test.pnd", "(include \"sub\")\n"}, {"sub/x", ""}});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(0u, r.out.find("Not a valid filename: \"sub\"\n")) << r.out;
}

TEST(CalendarProcs, IncludeRefusesCyclesAndDeepNesting) {
  // Nesting: 64 includes deep is read, 65 is refused.
  auto chain = [](int length) {
    std::map<std::string, std::string> files;
    for (int i = 0; i < length; ++i)
      files["f" + std::to_string(i) + ".pnd"] =
          "(include \"f" + std::to_string(i + 1) + ".pnd\")\n";
    files["f" + std::to_string(length) + ".pnd"] = "remind [deepest].\n";
    return files;
  };
  auto r = RunPendcal({"-f", "f0.pnd"}, chain(64));
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("deepest\n", r.out);
  r = RunPendcal({"-f", "f0.pnd"}, chain(65));
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(0u, r.out.find("Include nested too deeply: \"f65.pnd\"\n")) << r.out;

  // A file already being read is refused, by whatever name it is reached;
  // one read before and closed may be read again.
  struct {
    std::map<std::string, std::string> files;
    const char* name;
  } cycles[] = {
      {{{"a.pnd", "(include \"a.pnd\")"}}, "a.pnd"},
      {{{"a.pnd", "(include \"d/b.pnd\")"}, {"d/b.pnd", "(include \"../a.pnd\")"}}, "../a.pnd"},
  };
  for (const auto& c : cycles) {
    r = RunPendcal({"-f", "a.pnd"}, c.files);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(0u, r.out.find("Include nested too deeply: \"" + std::string(c.name) + "\"\n"))
        << r.out;
  }
  r = RunPendcal({"-f", "a.pnd"},
                 {{"a.pnd", "(include \"b.pnd\") (include \"b.pnd\")"}, {"b.pnd", "remind [b]."}});
  EXPECT_EQ("b\nb\n", r.out);
}

TEST(CalendarProcs, IncludeInOneExpressionKeepsTheStackOrder) {
  // Files pushed by one expression are read after it, the last pushed
  // first; until then none is being read, so none makes a cycle.
  struct {
    const char* main;
    const char* b;
    const char* out;
  } cases[] = {
      {"(begin (include \"a.pnd\") (include \"a.pnd\"))", "", "a\na\n"},
      {"(begin (include \"a.pnd\") (include \"b.pnd\"))", "remind [b].", "b\na\n"},
      {"(begin (include \"a.pnd\") (include \"b.pnd\"))", "(include \"a.pnd\") remind [b].",
       "a\nb\na\n"},
      {"(include \"b.pnd\")", "(begin (include \"a.pnd\") (include \"b.pnd\"))",
       "Include nested too deeply: \"b.pnd\"\n"},
  };
  for (const auto& c : cases) {
    auto r = RunPendcal({"-f", "main.pnd"},
                        {{"main.pnd", c.main}, {"a.pnd", "remind [a]."}, {"b.pnd", c.b}});
    EXPECT_EQ(0u, r.out.find(c.out)) << c.main << "\n" << r.out;
  }
}

}  // namespace
