#include "gui/entry_builder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "gui/runner.h"
#include "gui/safe_write.h"
#include "stand_in_engines.h"

namespace {

TEST(EntryBuilder, EntryTexts) {
  struct Case {
    pendra::Date date;
    gui::Repeat repeat;
    const char* text;
    int daysBefore;
    const char* expected;
  };
  const Case cases[] = {
      {{8, 12, 2026}, gui::Repeat::None, "X", 0, "8 dec 2026 remind [X]."},
      {{8, 12, 2026}, gui::Repeat::Weekly, "Bins", 0, "tue remind [Bins]."},
      {{8, 12, 2026}, gui::Repeat::MonthlyOnDay, "Rent", 3, "8 previous 3 days remind [Rent]."},
      {{8, 12, 2026}, gui::Repeat::MonthlyOnWeekday, "Dentist", 0, "second tue remind [Dentist]."},
      {{29, 12, 2026}, gui::Repeat::MonthlyOnWeekday, "Z", 0, "last tue remind [Z]."},
      {{1, 2, 2026}, gui::Repeat::Yearly, "Ada", 1, "1 feb previous 1 day remind [Ada]."},
      {{8, 12, 2026},
       gui::Repeat::None,
       "a]b [c] \\ 100%",
       0,
       "8 dec 2026 remind [a\\]b \\[c\\] \\\\ 100%]."},
  };
  for (const Case& c : cases) {
    gui::EntryForm form{c.date, c.repeat, c.text, c.daysBefore};
    EXPECT_EQ("", gui::formProblem(form)) << c.expected;
    EXPECT_EQ(c.expected, gui::entryText(form));
  }
}

TEST(EntryBuilder, FormProblems) {
  const gui::EntryForm cases[] = {
      {{8, 12, 2026}, gui::Repeat::None, " \n", 0},
      {{8, 12, 2026}, gui::Repeat::None, std::string(gui::kMaxTextLength + 1, 'x'), 0},
      {{30, 2, 2026}, gui::Repeat::None, "x", 0},
      {{8, 12, 3001}, gui::Repeat::Yearly, "x", 0},
      {{8, 12, 2026}, gui::Repeat::None, "x", -1},
      {{8, 12, 2026}, gui::Repeat::None, "x", gui::kMaxDaysBefore + 1},
  };
  for (const gui::EntryForm& form : cases) EXPECT_NE("", gui::formProblem(form)) << form.text;
}

TEST(EntryBuilder, AppendsWithTheFilesLineEnds) {
  struct Case {
    const char* file;
    const char* expected;
  };
  const Case cases[] = {
      {"", "E.\n"},
      {"a.\n", "a.\nE.\n"},
      {"a.", "a.\nE.\n"},
      {"a.\r\nb.", "a.\r\nb.\r\nE.\r\n"},
      {"a.\r\n", "a.\r\nE.\r\n"},
      {"a.\nb.\r\n", "a.\nb.\r\nE.\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, gui::appendEntry(c.file, "E.")) << c.file;
}

TEST(EntryBuilder, NextDaysSkipLookAheads) {
  gui::Listing listing = gui::parseListing(
      "file\tp\n"
      "2030-01-13\t2030-01-15\tp\t1\tX\n"
      "2030-01-15\t2030-01-15\tp\t1\tX\n"
      "2030-01-15\t2030-01-15\tp\t1\tX\n"
      "2030-02-15\t2030-02-15\tp\t1\tX\n"
      "2030-03-15\t2030-03-15\tp\t1\tX\n"
      "2030-04-15\t2030-04-15\tp\t1\tX\n");
  std::vector<pendra::Date> days = gui::nextDays(listing);
  ASSERT_EQ(3u, days.size());
  EXPECT_EQ("2030-01-15", gui::isoDate(days[0]));
  EXPECT_EQ("2030-02-15", gui::isoDate(days[1]));
  EXPECT_EQ("2030-03-15", gui::isoDate(days[2]));
  EXPECT_EQ((std::vector<std::string>{"-k", "-l", "-f", "/t/e.pnd", "-b", "0", "-a",
                                      std::to_string(gui::kPreviewDays), "15", "jan", "2030"}),
            gui::previewArguments("/t/e.pnd", {15, 1, 2030}));
}

// pendcal's report over a window as (day, text): ("tue 15 jan 2030", "X").
std::vector<std::pair<std::string, std::string>> reportDays(const std::string& output) {
  std::vector<std::pair<std::string, std::string>> days;
  for (const std::string& line : gui::splitLines(output)) {
    EXPECT_EQ(": ", line.substr(15, 2)) << "not a report line: " << line;
    days.emplace_back(line.substr(0, 15), line.substr(std::min<size_t>(line.size(), 17)));
  }
  return days;
}

// Every kind of entry the form writes is read by the real pendcal and falls
// on the days the form promises. Runs are in 2030, away from today's marker.
TEST(EntryBuilder, PendcalReadsTheEntries) {
  struct Case {
    pendra::Date date;
    gui::Repeat repeat;
    int daysBefore;
    std::vector<std::string> days;  // the first three listed from the form's date on
  };
  const Case cases[] = {
      {{15, 1, 2030}, gui::Repeat::None, 0, {"tue 15 jan 2030"}},
      {{15, 1, 2030},
       gui::Repeat::Weekly,
       0,
       {"tue 15 jan 2030", "tue 22 jan 2030", "tue 29 jan 2030"}},
      {{15, 1, 2030},
       gui::Repeat::MonthlyOnDay,
       0,
       {"tue 15 jan 2030", "fri 15 feb 2030", "fri 15 mar 2030"}},
      {{15, 1, 2030},
       gui::Repeat::MonthlyOnWeekday,
       0,
       {"tue 15 jan 2030", "tue 19 feb 2030", "tue 19 mar 2030"}},
      {{29, 1, 2030},
       gui::Repeat::MonthlyOnWeekday,
       0,
       {"tue 29 jan 2030", "tue 26 feb 2030", "tue 26 mar 2030"}},
      {{15, 1, 2030},
       gui::Repeat::Yearly,
       0,
       {"tue 15 jan 2030", "wed 15 jan 2031", "thu 15 jan 2032"}},
      // The look-ahead shows on the two days before.
      {{15, 1, 2030},
       gui::Repeat::Yearly,
       2,
       {"sun 13 jan 2030", "mon 14 jan 2030", "tue 15 jan 2030"}},
  };
  const std::string text = "Tea [with] \\ Ada";
  StandInEngines scratch;
  const std::string file = scratch.directory() + "entry.pnd";
  for (const Case& c : cases) {
    gui::EntryForm form{c.date, c.repeat, text, c.daysBefore};
    std::string entry = gui::entryText(form);
    std::ofstream(file, std::ios::binary) << entry << "\n";
    pendra::Date from = pendra::Date::fromNumber(c.date.dayNumber() - c.daysBefore);
    gui::EngineRun run =
        gui::runEngine(PENDCAL_PATH, {"-f", file, "-b", "0", "-a",
                                      std::to_string(gui::kPreviewDays), std::to_string(from.day),
                                      pendra::kMonthNames[from.month], std::to_string(from.year)});
    ASSERT_TRUE(run.ok);
    EXPECT_EQ(0, run.status) << entry << "\n" << run.output;
    auto days = reportDays(run.output);
    std::vector<std::string> first;
    for (size_t i = 0; i < days.size() && i < 3; ++i) {
      first.push_back(days[i].first);
      EXPECT_EQ(text, days[i].second) << entry;
    }
    EXPECT_EQ(c.days, first) << entry;
  }
}

}  // namespace
