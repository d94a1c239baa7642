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
  std::vector<std::string> read;
  for (const gui::Occurrence& o : listing.occurrences)
    read.push_back(iso(o.scanned) + " " + iso(o.matched) + (o.lookAhead() ? " ahead " : " ") +
                   o.file + ":" + std::to_string(o.line) + " " + o.text);
  EXPECT_EQ((std::vector<std::string>{
                "2026-12-08 2026-12-08 /home/a/pendra.pnd:3 Dentist",
                "2026-12-08 2026-12-11 ahead /home/a/pendra.pnd:9 Market day",
                "2026-12-09 2026-12-09 /home/a/holidays.pnd:12 Line one\nline\ttwo \\ \\x",
                "9999-12-31 10000-01-01 ahead far.pnd:1 Far"}),
            read);
  EXPECT_EQ(3, listing.occurrences[0].scanned.weekday);  // a Tuesday
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
      // As pendcal -k writes a Scheme error: an indented backtrace line
      // that names a place is still detail.
      {"hi\nl.pnd(5): Undefined symbol: dayname\n\neval (dayname 3)\n    l.pnd(5): (dayname 3)\n"
       "l.pnd(6): error: not an action: \"foo\" (did you mean \"for\"?)\n",
       {{"l.pnd", 5, "Undefined symbol: dayname", "eval (dayname 3)\n    l.pnd(5): (dayname 3)"},
        {"l.pnd", 6, "error: not an action: \"foo\" (did you mean \"for\"?)", ""}}},
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
}

}  // namespace
