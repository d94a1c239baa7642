#include "gui/listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string iso(const pendra::Date& date) { return gui::isoDate(date); }

TEST(Listing, ParsesFilesOccurrencesAndEscapes) {
  const std::string output =
      "file\t/home/a/pendra.pnd\n"
      "file\t/home/a/holidays.pnd\n"
      "2026-12-08\t2026-12-08\t/home/a/pendra.pnd\t3\tDentist\n"
      "2026-12-08\t2026-12-11\t/home/a/pendra.pnd\t9\tMarket day\n"
      "2026-12-09\t2026-12-09\t/home/a/holidays.pnd\t12\tLine one\\nline\\ttwo \\\\ \\x\r\n"
      "2026-12-09\t2026-13-09\tbad.pnd\t1\tbad month\n"
      "2026-12-09\t2026-12-09\tbad.pnd\tx\tbad line number\n"
      "9999-12-31\t10000-01-01\tfar.pnd\t1\tFar\n"
      "2026-12-10\t2026-12-10\tcut.pnd";
  gui::Listing listing = gui::parseListing(output);
  EXPECT_EQ(std::vector<std::string>({"/home/a/pendra.pnd", "/home/a/holidays.pnd"}),
            listing.files);
  struct Expected {
    std::string scanned, matched, file;
    int line;
    std::string text;
    bool lookAhead;
  };
  const std::vector<Expected> expected = {
      {"2026-12-08", "2026-12-08", "/home/a/pendra.pnd", 3, "Dentist", false},
      {"2026-12-08", "2026-12-11", "/home/a/pendra.pnd", 9, "Market day", true},
      {"2026-12-09", "2026-12-09", "/home/a/holidays.pnd", 12, "Line one\nline\ttwo \\ \\x", false},
      {"9999-12-31", "10000-01-01", "far.pnd", 1, "Far", true},
  };
  ASSERT_EQ(expected.size(), listing.occurrences.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const gui::Occurrence& o = listing.occurrences[i];
    EXPECT_EQ(expected[i].scanned, iso(o.scanned)) << i;
    EXPECT_EQ(expected[i].matched, iso(o.matched)) << i;
    EXPECT_EQ(expected[i].file, o.file) << i;
    EXPECT_EQ(expected[i].line, o.line) << i;
    EXPECT_EQ(expected[i].text, o.text) << i;
    EXPECT_EQ(expected[i].lookAhead, o.lookAhead()) << i;
  }
  EXPECT_EQ(3, listing.occurrences[0].scanned.weekday);  // a Tuesday
}

TEST(Listing, IsoDates) {
  struct Case {
    const char* text;
    bool ok;
  };
  const Case cases[] = {{"2026-12-08", true},  {"2024-02-29", true},   {"2023-02-29", false},
                        {"2026-1-08", false},  {"26-12-08", false},    {"2026-12-32", false},
                        {"2026-00-01", false}, {"2026-12-08x", false}, {"", false},
                        {"10000-01-01", true}, {"+026-12-08", false}};
  for (const Case& c : cases) {
    pendra::Date date;
    EXPECT_EQ(c.ok, gui::parseIsoDate(c.text, &date)) << c.text;
    if (c.ok) {
      EXPECT_EQ(c.text, iso(date));
    }
  }
}

TEST(Listing, GroupsByDayAndCountsOwnReminders) {
  gui::Listing listing = gui::parseListing(
      "2026-12-07\t2026-12-09\tp\t1\tAhead\n"
      "2026-12-08\t2026-12-08\tp\t2\tA\n"
      "2026-12-08\t2026-12-09\tp\t1\tAhead\n"
      "2026-12-08\t2026-12-08\tp\t3\tB\n"
      "2026-12-09\t2026-12-09\tp\t1\tAhead\n"
      "2026-12-09\t2026-12-09\tp\t4\tC\n");
  std::vector<gui::Day> days = gui::groupByDay(listing);
  ASSERT_EQ(3u, days.size());
  EXPECT_EQ("2026-12-07", iso(days[0].date));
  EXPECT_EQ(1u, days[0].items.size());
  EXPECT_EQ("2026-12-08", iso(days[1].date));
  ASSERT_EQ(3u, days[1].items.size());
  EXPECT_EQ("Ahead", days[1].items[1]->text);
  EXPECT_EQ(2u, days[2].items.size());
  // Look-aheads do not mark the day they announce; only the day itself.
  std::map<int64_t, int> counts = gui::reminderCounts(listing);
  EXPECT_EQ((std::map<int64_t, int>{{pendra::Date(8, 12, 2026).dayNumber(), 2},
                                    {pendra::Date(9, 12, 2026).dayNumber(), 2}}),
            counts);
}

TEST(Listing, Problems) {
  struct Expected {
    std::string file;
    int line;
    std::string text, detail;
  };
  struct Case {
    std::string errors;
    std::vector<Expected> problems;
  };
  const Case cases[] = {
      {"", {}},
      {"plain display output\n", {}},
      {"/h/pendra.pnd(12): error: not an action (did you mean \"remind\"?)\n"
       "/h/pendra.pnd(14): warning: no procedure for field \"age\"\n",
       {{"/h/pendra.pnd", 12, "error: not an action (did you mean \"remind\"?)", ""},
        {"/h/pendra.pnd", 14, "warning: no procedure for field \"age\"", ""}}},
      {"output first\n"
       "C:\\My (old) files\\pendra.pnd(3): Unbound variable: dayname\n"
       "\n"
       "  (dayname d)\n"
       "(lambda (d) (dayname d))\n"
       "\n"
       "my (2) file(7): fatal error: unexpected end of file\r\n",
       {{"C:\\My (old) files\\pendra.pnd", 3, "Unbound variable: dayname",
         "  (dayname d)\n(lambda (d) (dayname d))"},
        {"my (2) file", 7, "fatal error: unexpected end of file", ""}}},
      {"pendcal: warning: ignored \"x\"\nfatal error: unable to open a.pnd\nwarning: no procedure "
       "for field \"name\"\n(1): not a place\n",
       {{"", 0, "pendcal: warning: ignored \"x\"", ""},
        {"", 0, "fatal error: unable to open a.pnd", ""},
        {"", 0, "warning: no procedure for field \"name\"", "(1): not a place"}}},
  };
  for (const Case& c : cases) {
    std::vector<gui::Problem> problems = gui::parseProblems(c.errors);
    ASSERT_EQ(c.problems.size(), problems.size()) << c.errors;
    for (size_t i = 0; i < problems.size(); ++i) {
      EXPECT_EQ(c.problems[i].file, problems[i].file) << c.errors;
      EXPECT_EQ(c.problems[i].line, problems[i].line) << c.errors;
      EXPECT_EQ(c.problems[i].text, problems[i].text) << c.errors;
      EXPECT_EQ(c.problems[i].detail, problems[i].detail) << c.errors;
    }
  }
}

TEST(Listing, ProblemCount) {
  EXPECT_EQ("No problems", gui::problemCountText(0));
  EXPECT_EQ("1 problem", gui::problemCountText(1));
  EXPECT_EQ("3 problems", gui::problemCountText(3));
}

TEST(Listing, ReadsARun) {
  gui::EngineRun usage;
  usage.ok = true;
  usage.status = 1;
  usage.output = "usage: pendcal [OPTION] [DATE]\n";
  EXPECT_TRUE(gui::readListingRun(usage, "/p/pendcal").noReminderFile);

  gui::EngineRun missing;
  gui::ListingResult failed = gui::readListingRun(missing, "/p/pendcal");
  EXPECT_FALSE(failed.noReminderFile);
  ASSERT_EQ(1u, failed.problems.size());
  EXPECT_EQ(gui::kEngineError, failed.problems[0].text);
  EXPECT_EQ("/p/pendcal", failed.problems[0].detail);

  // Problems reported with -k end in status 1; the reminders still count.
  gui::EngineRun kept = usage;
  kept.output = "file\tp.pnd\n2026-12-08\t2026-12-08\tp.pnd\t1\tA\n";
  kept.errors = "p.pnd(2): error: not an action\n";
  gui::ListingResult read = gui::readListingRun(kept, "/p/pendcal");
  EXPECT_FALSE(read.noReminderFile);
  EXPECT_EQ(1u, read.listing.occurrences.size());
  ASSERT_EQ(1u, read.problems.size());
  EXPECT_EQ(2, read.problems[0].line);

  gui::EngineRun late = kept;
  late.timedOut = true;
  late.timeLimit = std::chrono::milliseconds(10000);
  read = gui::readListingRun(late, "/p/pendcal");
  ASSERT_EQ(2u, read.problems.size());
  EXPECT_EQ(gui::endingLine(late), read.problems[1].text);
  EXPECT_NE("", read.problems[1].text);
}

}  // namespace
