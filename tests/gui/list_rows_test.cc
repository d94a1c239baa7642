// The reminder list's rows and the grid's spoken marks, as both windows
// show them.
#include "gui/list_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace gui {
namespace {

pendra::Date day(int d, int m, int y) {
  pendra::Date date(static_cast<uint8_t>(d), static_cast<uint8_t>(m), static_cast<uint32_t>(y));
  date.weekday = pendra::weekdayOf(date.day, date.month, date.year);
  return date;
}

Occurrence occurrence(pendra::Date scanned, pendra::Date matched, std::string text) {
  Occurrence o;
  o.scanned = scanned;
  o.matched = matched;
  o.file = "pendra.pnd";
  o.line = 1;
  o.text = std::move(text);
  return o;
}

std::string describe(const std::vector<ListRow>& rows) {
  std::string out;
  for (const ListRow& row : rows) {
    const char* kinds[] = {"H", "R", "L", "P", "M"};
    out += std::string(kinds[static_cast<int>(row.kind)]) + "|" + row.text + "\n";
  }
  return out;
}

TEST(ListRows, ProblemsFirstThenEachDayWithItsHeading) {
  const pendra::Date today = day(8, 12, 2026);
  ListingResult result;
  result.problems.push_back({"pendra.pnd", 3, "error: not an action", ""});
  result.problems.push_back({"", 0, "fatal error: out of memory", "a\nb"});
  result.listing.occurrences = {
      occurrence(day(8, 12, 2026), day(8, 12, 2026), "Advent calendar"),
      occurrence(day(8, 12, 2026), day(11, 12, 2026), "Market day"),
      occurrence(day(9, 12, 2026), day(9, 12, 2026), "Two\nlines"),
      occurrence(day(10, 12, 2026), day(10, 12, 2026), "Dentist"),
  };
  Range range{today, 7, 14};
  EXPECT_EQ(describe(listRows(result, range, today)),
            "P|pendra.pnd(3): error: not an action\n"
            "P|fatal error: out of memory\na\nb\n"
            "H|Today\n"
            "R|Advent calendar\n"
            "L|Fri 11 Dec: Market day\n"
            "H|Tomorrow\n"
            "R|Two\nlines\n"
            "H|Thu 10 Dec\n"
            "R|Dentist\n");
  // Every item knows the day it stands under, for scrolling to it.
  std::vector<ListRow> rows = listRows(result, range, today);
  EXPECT_TRUE(rows[3].day.sameDay(today));
  EXPECT_TRUE(rows[4].day.sameDay(today));  // a look-ahead stands under its scan day
  EXPECT_TRUE(rows[8].day.sameDay(day(10, 12, 2026)));
}

// Double-click opens a reminder's or a problem's file at its line.
TEST(ListRows, RemindersAndProblemsKeepTheirPlace) {
  const pendra::Date today = day(8, 12, 2026);
  ListingResult result;
  result.problems.push_back({"inc.pnd", 7, "error: not an action", ""});
  result.listing.occurrences = {occurrence(today, today, "A"),
                                occurrence(today, day(9, 12, 2026), "B")};
  result.listing.occurrences[0].line = 4;
  result.listing.occurrences[1].file = "C:\\h\\x.pnd";
  result.listing.occurrences[1].line = 12;
  std::vector<ListRow> rows = listRows(result, Range{today, 7, 14}, today);
  std::vector<std::pair<std::string, int>> places;
  for (const ListRow& row : rows) places.emplace_back(row.file, row.line);
  std::vector<std::pair<std::string, int>> expected = {
      {"inc.pnd", 7}, {"", 0}, {"pendra.pnd", 4}, {"C:\\h\\x.pnd", 12}};
  EXPECT_EQ(places, expected);
}

TEST(ListRows, OnlyTheShownDaysAreListed) {
  ListingResult result;
  result.listing.occurrences = {
      occurrence(day(30, 11, 2026), day(30, 11, 2026), "Before"),
      occurrence(day(7, 12, 2026), day(7, 12, 2026), "Monday"),
      occurrence(day(13, 12, 2026), day(13, 12, 2026), "Sunday"),
      occurrence(day(14, 12, 2026), day(14, 12, 2026), "After"),
  };
  // The week of Wed 9 Dec 2026: Monday 7 to Sunday 13.
  EXPECT_EQ(describe(listRows(result, viewRange(View::Week, day(9, 12, 2026)), day(1, 1, 2027))),
            "H|Mon 7 Dec 2026\nR|Monday\nH|Sun 13 Dec 2026\nR|Sunday\n");
}

TEST(ListRows, OneRunCoversTheViewAndTheGridsMonth) {
  struct Case {
    View view;
    pendra::Date picked;
    pendra::Date first, last;
  } cases[] = {
      {View::Window, day(9, 12, 2026), day(1, 12, 2026), day(31, 12, 2026)},
      {View::Window, day(3, 12, 2026), day(26, 11, 2026), day(31, 12, 2026)},
      {View::Window, day(28, 12, 2026), day(1, 12, 2026), day(11, 1, 2027)},
      {View::Week, day(1, 12, 2026), day(30, 11, 2026), day(31, 12, 2026)},
      {View::Month, day(29, 2, 2028), day(1, 2, 2028), day(29, 2, 2028)},
  };
  for (const Case& c : cases) {
    Range run = listingRange(c.view, c.picked);
    EXPECT_TRUE(run.date.sameDay(c.picked));
    EXPECT_TRUE(run.first().sameDay(c.first)) << isoDate(run.first());
    EXPECT_TRUE(run.last().sameDay(c.last)) << isoDate(run.last());
  }
}

TEST(ListRows, AnEmptyRangeSaysSo) {
  ListingResult result;
  Range range{day(9, 12, 2026), 7, 14};
  EXPECT_EQ(describe(listRows(result, range, day(8, 12, 2026))),
            "M|No reminders from Wed 2 Dec 2026 to Wed 23 Dec 2026\n");
}

TEST(ListRows, TheWelcomeNamesThePlaces) {
  std::vector<ListRow> rows = noReminderFileRows({"C:\\Users\\a\\pendra.pnd", "C:\\x.pnd"});
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_NE(rows[0].text.find("no reminder file"), std::string::npos);
  EXPECT_EQ(rows[1].text, "C:\\Users\\a\\pendra.pnd");
  EXPECT_EQ(rows[2].text, "C:\\x.pnd");
}

TEST(ListRows, MarkedDaysAreNamedWithTheirCounts) {
  std::map<int64_t, int> counts = {{day(30, 11, 2026).dayNumber(), 4},
                                   {day(1, 12, 2026).dayNumber(), 1},
                                   {day(9, 12, 2026).dayNumber(), 2},
                                   {day(31, 12, 2026).dayNumber(), 3},
                                   {day(1, 1, 2027).dayNumber(), 5}};
  struct Case {
    pendra::Date first, last;
    std::string text;
  } cases[] = {
      {day(1, 12, 2026), day(31, 12, 2026),
       "1 December, 1 reminder; 9 December, 2 reminders; 31 December, 3 reminders"},
      {day(2, 12, 2026), day(30, 12, 2026), "9 December, 2 reminders"},
      {day(10, 12, 2026), day(30, 12, 2026), ""},
      {day(31, 12, 2026), day(1, 1, 2027), "31 December, 3 reminders; 1 January, 5 reminders"},
  };
  for (const Case& c : cases) EXPECT_EQ(markedDaysText(counts, c.first, c.last), c.text);
}

}  // namespace
}  // namespace gui
