// Whole pendcal runs: the reading phase with its error lines, the scan with
// its day headers, the window, and the exit status.
#include "engine/driver.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/date.h"
#include "engine/pendcal_harness.h"
#include "gtest/gtest.h"
#include "tests/sanitizer.h"

namespace {

using pendcal_test::RunPendcal;
using pendcal_test::RunReminders;
using pendra::Date;

// The header of a day that is not today: "thu  7 jul 2005: ".
std::string Header(int day, int month, int year) {
  char text[64];
  std::snprintf(
      text, sizeof text, "%s %2d %s %d: ",
      pendra::kWeekdayNames[pendra::weekdayOf(
          static_cast<uint8_t>(day), static_cast<uint8_t>(month), static_cast<uint32_t>(year))],
      day, pendra::kMonthNames[month], year);
  return text;
}
std::string Header(const Date& d) { return Header(d.day, d.month, static_cast<int>(d.year)); }

// Each text with the header of its day: {{"x", Date}, ...}.
std::string Lines(const std::vector<std::pair<const char*, Date>>& lines) {
  std::string all;
  for (const auto& [text, day] : lines) all += Header(day) + text + "\n";
  return all;
}

const std::vector<std::string> kJulyWindow = {"-b", "2", "-a", "3", "7", "jul", "2005"};

TEST(Driver, HeadersMarkTodayAndOnlyAppearWithAWindow) {
  Date today = pendra::today();
  Date d = Date::fromNumber(today.dayNumber() - 2);
  std::string expected;
  for (int i = 0; i < 4; ++i) {
    expected += (i == 2 ? std::string("  ---today---  : ") : Header(d)) + "every day\n";
    d = Date::fromNumber(d.dayNumber() + 1);
  }
  auto r = RunReminders("remind [every day].", {"-b", "2", "-a", "1"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(expected, r.out);

  // Today is marked whatever the target.
  std::string year = std::to_string(today.year);
  std::string day = std::to_string(today.day);
  r = RunReminders("remind [x].", {"-a", "1", day, pendra::kMonthNames[today.month], year});
  EXPECT_EQ("  ---today---  : x\n" + Header(Date::fromNumber(today.dayNumber() + 1)) + "x\n",
            r.out);

  EXPECT_EQ("Christmas\n", RunReminders("dec 25 remind [Christmas].", {"25", "dec", "2005"}).out);
  EXPECT_EQ(
      "Christmas\n",
      RunReminders("dec 25 remind [Christmas].", {"-a", "0", "-b", "0", "25", "dec", "2005"}).out);
}

TEST(Driver, ReportsEntriesInFileOrderDayByDay) {
  const char* file =
      "jul 7 remind [Birthday].\n"
      "jul 7 and jul 9 previous 2 days remind [soon: %(nothing)].\n"
      "; a comment between entries\n"
      "jul 7 remind [a] remind [b].\n"
      "jul 8.\n"
      "friday remind [Friday].\n";
  auto r = RunReminders(file, kJulyWindow);
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(Lines({{"soon: ", {5, 7, 2005}},
                   {"soon: ", {6, 7, 2005}},
                   {"Birthday", {7, 7, 2005}},
                   {"soon: ", {7, 7, 2005}},
                   {"a", {7, 7, 2005}},
                   {"b", {7, 7, 2005}},
                   {"soon: ", {8, 7, 2005}},
                   {"Friday", {8, 7, 2005}},
                   {"soon: ", {9, 7, 2005}}}),
            r.out);
}

TEST(Driver, SelectsTheDaysOfEachSpecifierForm) {
  struct {
    const char* entry;
    std::vector<std::string> args;
    std::vector<Date> days;
  } cases[] = {
      {"last sun jul remind [x].", {"-a", "40", "1", "jul", "2005"}, {{31, 7, 2005}}},
      {"last sat feb remind [x].", {"-a", "30", "1", "feb", "2003"}, {{22, 2, 2003}}},
      {"first mon remind [x].", {"-a", "60", "1", "jan", "2005"}, {{3, 1, 2005}, {7, 2, 2005}}},
      {"sat after dec 30 remind [x].",
       {"-b", "10", "-a", "10", "1", "jan", "2007"},
       {{6, 1, 2007}}},
      {"mon before jan 3 remind [x].",
       {"-b", "10", "-a", "10", "1", "jan", "2005"},
       {{27, 12, 2004}}},
      {"mon before jan 7 remind [x].",
       {"-b", "10", "-a", "10", "1", "jan", "2008"},
       {{31, 12, 2007}}},
      {"sat sun after 1 remind [x].",
       {"-a", "40", "1", "jan", "2005"},
       {{2, 1, 2005}, {5, 2, 2005}}},
      {"jan 15 2005 every year for 3 years remind [x].",
       {"-b", "800", "-a", "1500", "1", "jan", "2006"},
       {{15, 1, 2005}, {15, 1, 2006}, {15, 1, 2007}}},
      {"jan 1 2005 every 2 weeks until mar 1 2005 remind [x].",
       {"-a", "80", "20", "feb", "2005"},
       {{26, 2, 2005}}},
      {"mar 1 every month for 6 months except jun 1 remind [x].",
       {"-a", "250", "1", "feb", "2005"},
       {{1, 3, 2005}, {1, 4, 2005}, {1, 5, 2005}, {1, 7, 2005}, {1, 8, 2005}}},
      {"jan 1 previous 3 days remind [x].",
       {"-b", "5", "-a", "5", "31", "dec", "2005"},
       {{29, 12, 2005}, {30, 12, 2005}, {31, 12, 2005}, {1, 1, 2006}}},
      {"fri 13 may 2005 remind [x].", {"-a", "400", "1", "jan", "2005"}, {{13, 5, 2005}}},
  };
  for (const auto& c : cases) {
    std::string expected;
    for (const Date& d : c.days) expected += Header(d) + "x\n";
    auto r = RunReminders(c.entry, c.args);
    EXPECT_EQ(expected, r.out) << c.entry;
    EXPECT_EQ(0, r.status) << c.entry;
  }
}

TEST(Driver, ErrorLinesNameFileAndLineAndSkipTheEntry) {
  const char* file =
      "jul 7 remind [one].\n"
      "jul 7 remind [two].\n"
      "jul 7 remind\n  5.\n"
      "jul 7 remind [four].\n"
      "fri 13 remind [x].\n"
      "monday tuesday remind [x].\n"
      "jul 7 remind [x] monday.\n"
      "jul 7 remind [five].\n"
      "mon on before 5.\n"
      "first.\n";
  auto r = RunReminders(file, {"7", "jul", "2005"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(
      "test.pnd(4): error: remind must be followed by a string\n"
      "test.pnd(6): error: day of week and day of month conflict\n"
      "test.pnd(7): error: day of week specified twice\n"
      "test.pnd(8): error: not an action\n"
      "test.pnd(10): error: or missing after on\n"
      "test.pnd(11): error: expected a week day\n"
      "one\ntwo\nfour\nfive\n",
      r.out);
}

TEST(Driver, FatalErrorEndsReadingButTheScanRuns) {
  auto r = RunReminders(
      "jul 7 remind [kept].\n"
      "jul 8 remind [kept too].\n"
      "jul 7 remind [never\n"
      "closed.\n",
      kJulyWindow);
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("test.pnd(3): fatal error: unexpected end of file\n" +
                Lines({{"kept", {7, 7, 2005}}, {"kept too", {8, 7, 2005}}}),
            r.out);
  // An unfinished last entry is reported at its last token.
  r = RunReminders("jul 7 remind [a].\njul 8\nremind [b]", kJulyWindow);
  EXPECT_EQ("test.pnd(3): fatal error: unexpected end of file\n" + Lines({{"a", {7, 7, 2005}}}),
            r.out);
}

TEST(Driver, OverlongWordsAndStringsDropOnlyTheirEntry) {
  std::string file = "jul 7 remind [a].\n" + std::string(600, 'x') +
                     " remind [b].\njul 7 remind [" + std::string(512, 'c') +
                     "].\njul 7 remind [d].\n";
  auto r = RunReminders(file, {"7", "jul", "2005"});
  EXPECT_EQ(
      "test.pnd(2): error: word too long\n"
      "test.pnd(3): error: string too long\n"
      "a\nd\n",
      r.out);
  EXPECT_EQ(0, r.status);
}

TEST(Driver, SchemeInsideAnEntryDropsIt) {
  auto r = RunReminders(
      "jul 8 (remind [c]).\n"
      "jan 1 (+ 1 2) .\n"
      "jul 8 remind [d].\n",
      {"8", "jul", "2005"});
  EXPECT_EQ(
      "test.pnd(1): error: unexpected scheme expression\n"
      "test.pnd(2): error: unexpected scheme expression\n"
      "d\n",
      r.out);
}

TEST(Driver, SchemeBetweenEntriesPrintsInOrder) {
  auto r = RunReminders(
      "(define x 40)\n"
      "(+ x 2)\n"
      "(display \"shown \")\n"
      "jul 7 remind 5.\n"
      "(write \"after\")(newline)\n"
      "jul 7 remind [x].\n",
      {"7", "jul", "2005"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("42\nshown test.pnd(4): error: remind must be followed by a string\n\"after\"\nx\n",
            r.out);
}

TEST(Driver, SchemeErrorWhileReadingEndsTheRun) {
  auto r = RunReminders(
      "jul 7 remind [not reached].\n"
      "(display \"before\")\n"
      "(define (f x) (car x))\n"
      "(f 5)\n"
      "jul 7 remind [x].\n",
      {"7", "jul", "2005"});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(0u, r.out.find("beforeWrong type: 5\n\nf #<procedure: #x")) << r.out;
  EXPECT_NE(std::string::npos, r.out.find("\n    test.pnd(3): (car x)\neval (f 5)\n"
                                          "    test.pnd(4): (f 5)\n"))
      << r.out;
  EXPECT_EQ(std::string::npos, r.out.find("not reached"));
}

TEST(Driver, RunningOutOfMemoryEndsTheRunWithAReport) {
  // Past the heap limit, and (not under the sanitizer, whose shadow memory
  // needs more address space than any limit here) when the system refuses
  // memory: the output before the report is kept, then the report, status 1.
  const std::string build =
      "(display \"before the loop\")\n"
      "(define (build n acc) (if (= n 0) acc (build (- n 1) (cons n acc))))\n";
  pendcal_test::Options small;
  small.env = {{"PENDCAL_HEAP_MB", "8"}};
  pendcal_test::Options refused;
  refused.env = {{"PENDCAL_HEAP_MB", "100000"}};
  refused.addressSpace = 256ll << 20;
  std::vector<pendcal_test::Options> runs = {small};
#if !defined(PENDRA_TEST_ASAN)
  if (!pendcal_test::UnderWine()) runs.push_back(refused);  // Wine needs the address space
#endif
  for (const auto& options : runs) {
    auto r =
        RunPendcal({"-f", "test.pnd"}, {{"test.pnd", build + "(build 100000000 '())\n"}}, options);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(0u, r.out.find("before the loopOut of memory: (cons n acc)\n\nbuild #<procedure: #x"))
        << r.out;
    EXPECT_NE(std::string::npos, r.out.find("\n    test.pnd(2): (cons n acc)\n"
                                            "eval (build 100000000 (quote '()))\n"
                                            "    test.pnd(3): (build 100000000 (quote '()))\n"))
        << r.out;
  }
  // A test procedure that never returns ends the same way during the scan.
  auto r = RunPendcal({"-f", "test.pnd", "7", "jul", "2005"},
                      {{"test.pnd", build + "(test-specifier (lambda (d) (build 100000000 '())) "
                                            "\"endless\")\n"
                                            "endless remind [x].\n"}},
                      small);
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(0u, r.out.find("before the loopOut of memory: (cons n acc)\n\n")) << r.out;
  // A limit that is not a positive number leaves the default of 1 GiB, with
  // a warning.
  for (const char* bad : {"8x", " -1"}) {
    small.env = {{"PENDCAL_HEAP_MB", bad}};
    r = RunPendcal({"-f", "test.pnd"},
                   {{"test.pnd", build + "(newline)(length (build 400000 '()))\n"}}, small);
    EXPECT_EQ(0, r.status);
    EXPECT_EQ(0u, r.out.find("pendcal: warning: PENDCAL_HEAP_MB=\"" + std::string(bad) + "\""))
        << r.out;
    const std::string rest = " MiB\nbefore the loop\n400000\n";
    EXPECT_EQ(r.out.size() - rest.size(), r.out.find(rest)) << r.out;
  }
}

TEST(Driver, AFailedWriteEndsWithStatusOne) {
  const std::string text = "(display \"read\")\nremind [Every day].\n";
  const std::vector<std::vector<std::string>> modes = {
      {"-b", "3", "-a", "400"}, {"-i", "-a", "400"}, {"-l", "-a", "400"}, {"-v"}};
  const struct {
    const char* to;
    const char* reason;
  } kOutputs[] = {{"/dev/full", "No space left on device"}, {"-", "Bad file descriptor"}};
  for (const auto& output : kOutputs) {
    // Under Wine a closed standard output is not a POSIX one.
    if (pendcal_test::UnderWine() && output.to[0] == '-') break;
    for (std::vector<std::string> args : modes) {
      pendcal_test::Options options;
      options.stdoutTo = output.to;
      options.separateErrors = true;
      args.insert(args.begin(), {"-f", "test.pnd"});
      auto r = RunPendcal(args, {{"test.pnd", text}}, options);
      EXPECT_EQ(1, r.status) << output.to << " " << args[2];
      // The Windows C library does not always say why a flush failed.
      std::string reason = pendcal_test::UnderWine() ? "" : output.reason + std::string("\n");
      EXPECT_NE(std::string::npos, r.err.find("pendcal: cannot write output: " + reason)) << r.err;
    }
  }
  // Written whole, the same runs end with status 0.
  auto r = RunPendcal({"-l", "-f", "test.pnd"}, {{"test.pnd", text}});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(std::string::npos, r.out.find("cannot write")) << r.out;
}

TEST(Driver, ReadsAtMost1024Entries) {
  std::string file;
  for (int i = 1; i <= 1030; ++i) file += "jul 7 remind [" + std::to_string(i) + "].\n";
  auto r = RunReminders(file + "(display \"never evaluated\")\n", {"7", "jul", "2005"});
  std::string expected =
      "test.pnd(1025): fatal error: too many entries: only the first 1024 are used\n";
  for (int i = 1; i <= 1024; ++i) expected += std::to_string(i) + "\n";
  EXPECT_EQ(expected, r.out);
  EXPECT_EQ(0, r.status);

  // Exactly 1024, with only comments after them: nothing to report.
  file.clear();
  for (int i = 1; i <= 1024; ++i) file += "jul 7 remind [" + std::to_string(i) + "].\n";
  r = RunReminders(file + "; the end\n\n", {"7", "jul", "2005"});
  EXPECT_EQ(std::string::npos, r.out.find("too many")) << r.out.substr(0, 200);
  // Entries in error do not count.
  r = RunReminders("jul 7 remind 5.\n" + file, {"7", "jul", "2005"});
  EXPECT_EQ(0u, r.out.find("test.pnd(1): error: remind must be followed by a string\n1\n2\n"));
  EXPECT_EQ(std::string::npos, r.out.find("too many"));
}

TEST(Driver, WindowsAreClippedAndAlwaysEnd) {
  const char* file = "remind [x].\njan 1 1800 remind [first day].\n";
  struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      // The last day before the first: nothing.
      {{"-a", "-3", "7", "jul", "2005"}, ""},
      {{"-b", "-2", "7", "jul", "2005"}, ""},
      {{"-b", "-1", "-a", "-1", "7", "jul", "2005"}, ""},
      // Days before 1 January 1800 are left out.
      {{"-b", "2000000000", "1", "jan", "1800"},
       Header(1, 1, 1800) + "x\n" + Header(1, 1, 1800) + "first day\n"},
      {{"-b", "5", "-a", "1", "1", "jan", "1800"},
       Header(1, 1, 1800) + "x\n" + Header(1, 1, 1800) + "first day\n" + Header(2, 1, 1800) +
           "x\n"},
      {{"25", "dec", "1700"}, ""},
      {{"-a", "366", "31", "dec", "1798"},
       Header(1, 1, 1800) + "x\n" + Header(1, 1, 1800) + "first day\n"},
      // An impossible date is normalised through its day number.
      {{"31", "feb", "2005"}, "x\n"},
      {{"-a", "1", "30", "feb", "2005"}, Header(2, 3, 2005) + "x\n" + Header(3, 3, 2005) + "x\n"},
  };
  for (const auto& c : cases) {
    auto r = RunReminders(file, c.args);
    EXPECT_EQ(c.out, r.out) << c.args[0] << " " << c.args[1];
    EXPECT_EQ(0, r.status);
  }
}

TEST(Driver, NoDatePastTheLastDayIsEverPrinted) {
  // A look-ahead stops at 31 December 65535, in Scheme and without it.
  const char* file =
      "(test-specifier (lambda (d) (display d) (newline) #f) \"seen\")\n"
      "(remind-field (lambda (s o m) m) \"m\")\n"
      "seen previous 3 days remind [s].\n"
      "jan 1 previous 3 days remind [%(m)].\n"
      "dec 31 previous 3 days remind [%(m)].\n";
  struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"-b", "3", "-a", "3", "1", "jan", "11761022"}, ""},
      {{"-b", "2000000000", "1", "jan", "11761022"}, ""},
      {{"-a", "5", "30", "dec", "65535"},
       "#<date: 30 dec 65535>\n#<date: 31 dec 65535>\n" + Header(30, 12, 65535) +
           "#<date: 31 dec 65535>\n#<date: 31 dec 65535>\n" + Header(31, 12, 65535) +
           "#<date: 31 dec 65535>\n"},
  };
  for (const auto& c : cases) {
    auto r = RunReminders(file, c.args);
    EXPECT_EQ(c.out, r.out) << c.args.back();
    EXPECT_EQ(0, r.status);
  }
}

TEST(Driver, LongReportsArriveWhole) {
  // About 600 kB: far more than any buffer on the way.
  std::string text(200, 'r');
  auto r = RunReminders("remind [" + text + "].\nremind [" + text + "].\n",
                        {"-b", "1500", "-a", "1500", "1", "jan", "2000"});
  EXPECT_EQ(0, r.status);
  size_t lines = 0;
  for (char c : r.out) lines += c == '\n';
  EXPECT_EQ(2u * 3001, lines);
  EXPECT_EQ(Header(Date::fromNumber(Date(1, 1, 2000).dayNumber() + 1500)) + text + "\n",
            r.out.substr(r.out.size() - text.size() - 18));
}

}  // namespace

namespace {

TEST(Driver, SchemeErrorDuringTheScanEndsTheRun) {
  auto r = RunReminders(
      "(remind-field (lambda (scanned occurrence matched) (car scanned)) \"bad\")\n"
      "jul 6 remind [fine].\n"
      "jul 7 remind [before %(bad) after].\n"
      "jul 7 remind [not reached].\n",
      kJulyWindow);
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(Header(6, 7, 2005) + "fine\n" + Header(7, 7, 2005) +
                "before Wrong type: #<date: 7 jul 2005>\n"
                "\n"
                "#<procedure: #x",
            r.out.substr(0, r.out.find("#x") + 2));
  EXPECT_EQ(std::string::npos, r.out.find("not reached"));
  EXPECT_EQ(std::string::npos, r.out.find("after"));

  // A date test that fails ends the run the same way.
  r = RunReminders(
      "(test-specifier (lambda () #t) \"odd\")\n"
      "jul 5 remind [first].\n"
      "odd remind [x].\n",
      kJulyWindow);
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(0u, r.out.find(Header(5, 7, 2005) + "first\nWrong number of arguments: #<procedure"))
      << r.out;
}

TEST(Driver, ProceduresBoundToWordsTakePartInTheScan) {
  auto r = RunReminders(
      "(display (date 7 7 2005)) (newline)\n"
      "(test-specifier (lambda (d) (= (day d) 13)) \"thirteenth\")\n"
      "(set-specifier (lambda (y) (list (date 1 5 y))) \"mayday\")\n"
      "(remind-field (lambda (scanned occurrence matched) matched) \"when\")\n"
      "(remind-field (lambda (s o m) (days-between m s)) \"left\")\n"
      "thirteenth remind [13th].\n"
      "mayday remind [May day].\n"
      "may 3 previous 3 days remind [%(when) in %(left) days].\n",
      {"-a", "14", "30", "apr", "2005"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("#<date: 7 jul 2005>\n" + Lines({{"#<date: 3 may 2005> in 3 days", {30, 4, 2005}},
                                             {"May day", {1, 5, 2005}},
                                             {"#<date: 3 may 2005> in 2 days", {1, 5, 2005}},
                                             {"#<date: 3 may 2005> in 1 days", {2, 5, 2005}},
                                             {"#<date: 3 may 2005> in 0 days", {3, 5, 2005}},
                                             {"13th", {13, 5, 2005}}}),
            r.out);
}

TEST(Driver, IncludedFilesAreReadInPlace) {
  auto r = RunPendcal({"-f", "main.pnd", "1", "jan", "2006"}, {{"main.pnd",
                                                                "jan 1 remind [a].\n"
                                                                "(include \"sub.pnd\")\n"
                                                                "jan 1 remind [d].\n"},
                                                               {"sub.pnd",
                                                                "jan 1 remind [b].\n"
                                                                "\n"
                                                                "jan 1 remind 5.\n"
                                                                "jan 1 remind [c].\n"}});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("sub.pnd(3): error: remind must be followed by a string\na\nb\nc\nd\n", r.out);

  // A fatal error in the included file ends all reading.
  r = RunPendcal({"-f", "main.pnd", "1", "jan", "2006"},
                 {{"main.pnd",
                   "jan 1 remind [a].\n"
                   "(include \"sub.pnd\")\n"
                   "jan 1 remind [never read].\n"},
                  {"sub.pnd", "jan 1 remind [b].\njan 1 remind [b"}});
  EXPECT_EQ("sub.pnd(2): fatal error: unexpected end of file\na\nb\n", r.out);
}

}  // namespace

namespace {

// A file of the examples folder shipped with the sources.
std::string ExampleFile(const std::string& name) {
  std::string path = PENDRA_SOURCE_DIR "/examples/" + name;
  std::ifstream in(path);
  EXPECT_TRUE(in.good()) << path;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The example files read without an error and report what they promise.
TEST(Driver, ExampleFileReadsCleanly) {
  const std::map<std::string, std::string> files = {{"pendra.pnd", ExampleFile("pendra.pnd")},
                                                    {"holidays.pnd", ExampleFile("holidays.pnd")}};
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"-f", "pendra.pnd"});
    return pendcal_test::RunPendcal(args, files);
  };
  auto r = run({"-b", "3", "-a", "4", "7", "jul", "2005"});
  EXPECT_EQ(0, r.status) << r.out;
  EXPECT_EQ(Lines({{"Put the bins out", {4, 7, 2005}},
                   {"Pay the rent", {4, 7, 2005}},
                   {"Payday", {4, 7, 2005}},
                   {"Fireworks on the 4th", {4, 7, 2005}},
                   {"Kim turns 35 in 3 days", {4, 7, 2005}},
                   {"Kim turns 35 in 2 days", {5, 7, 2005}},
                   {"Gym", {6, 7, 2005}},
                   {"Kim turns 35 tomorrow", {6, 7, 2005}},
                   {"Market day is Friday", {7, 7, 2005}},
                   {"Bring bags", {7, 7, 2005}},
                   {"Kim turns 35 today", {7, 7, 2005}},
                   {"Gym", {8, 7, 2005}},
                   {"Market day is Friday", {8, 7, 2005}},
                   {"Bring bags", {8, 7, 2005}},
                   {"Put the bins out", {11, 7, 2005}}}),
            r.out);
  // Easter comes from a Scheme procedure in the included file.
  for (auto day : {std::vector<std::string>{"28", "mar", "2005"}, {"21", "apr", "2025"}}) {
    r = run(day);
    EXPECT_NE(std::string::npos, r.out.find("Easter Monday: a holiday\n")) << r.out;
  }
  EXPECT_NE(std::string::npos, run({"18", "apr", "2025"}).out.find("Good Friday: a holiday\n"));
  EXPECT_EQ("Put the bins out\nPay the rent\nPayday\nEaster Monday: a holiday\n",
            run({"6", "apr", "3001"}).out);
  // Any window runs, from the first day a date can hold to the last.
  for (auto day : {std::vector<std::string>{"1", "jan", "1800"},
                   {"31", "dec", "3000"},
                   {"31", "dec", "65535"}}) {
    day.insert(day.begin(), {"-b", "3", "-a", "3"});
    r = run(day);
    EXPECT_EQ(0, r.status) << r.out;
  }
  r = run({"27", "mar", "2005"});
  EXPECT_EQ(std::string::npos, r.out.find("Easter")) << r.out;
  EXPECT_EQ("Market day is Friday\nBring bags\nThanksgiving (US)\n",
            run({"27", "nov", "2025"}).out);
}

}  // namespace
