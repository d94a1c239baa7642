#include "gui/view_range.h"

#include <gtest/gtest.h>

#include "gui/listing.h"

namespace {

using gui::isoDate;

TEST(ViewRange, Views) {
  struct Case {
    gui::View view;
    pendra::Date picked;
    const char* first;
    const char* last;
  };
  const Case cases[] = {
      {gui::View::Window, {9, 12, 2026}, "2026-12-02", "2026-12-23"},
      {gui::View::Week, {9, 12, 2026}, "2026-12-07", "2026-12-13"},   // a Wednesday
      {gui::View::Week, {7, 12, 2026}, "2026-12-07", "2026-12-13"},   // a Monday
      {gui::View::Week, {13, 12, 2026}, "2026-12-07", "2026-12-13"},  // a Sunday
      {gui::View::Week, {1, 1, 2027}, "2026-12-28", "2027-01-03"},
      {gui::View::Month, {9, 12, 2026}, "2026-12-01", "2026-12-31"},
      {gui::View::Month, {29, 2, 2024}, "2024-02-01", "2024-02-29"},
  };
  for (const Case& c : cases) {
    gui::Range range = gui::viewRange(c.view, c.picked);
    EXPECT_TRUE(range.date.sameDay(c.picked));
    EXPECT_EQ(c.first, isoDate(range.first())) << gui::viewName(c.view);
    EXPECT_EQ(c.last, isoDate(range.last())) << gui::viewName(c.view);
    EXPECT_TRUE(range.contains(c.picked));
    EXPECT_FALSE(range.contains(pendra::Date::fromNumber(range.last().dayNumber() + 1)));
  }
}

TEST(ViewRange, ExportRangesAndNames) {
  struct Case {
    gui::ExportChoice choice;
    gui::View view;
    pendra::Date picked, today;
    const char* name;
  };
  const Case cases[] = {
      {gui::ExportChoice::Shown,
       gui::View::Window,
       {9, 12, 2026},
       {8, 12, 2026},
       "pendra-2026-12-02-to-2026-12-23.ics"},
      {gui::ExportChoice::Shown,
       gui::View::Month,
       {9, 12, 2026},
       {8, 12, 2026},
       "pendra-2026-12.ics"},
      {gui::ExportChoice::Month,
       gui::View::Week,
       {9, 12, 2026},
       {8, 12, 2026},
       "pendra-2026-12.ics"},
      {gui::ExportChoice::TwelveMonths,
       gui::View::Week,
       {9, 5, 2026},
       {8, 12, 2026},
       "pendra-2026-12-08-to-2027-12-07.ics"},
      {gui::ExportChoice::TwelveMonths,
       gui::View::Week,
       {9, 5, 2026},
       {29, 2, 2024},
       "pendra-2024-02-29-to-2025-02-28.ics"},
      {gui::ExportChoice::Month,
       gui::View::Week,
       {9, 5, 12026},
       {8, 12, 2026},
       "pendra-12026-05.ics"},
  };
  for (const Case& c : cases) {
    gui::Range range = gui::exportRange(c.choice, c.view, c.picked, c.today);
    EXPECT_EQ(c.name, gui::exportFileName(c.choice, range));
  }
}

TEST(ViewRange, DateTexts) {
  const pendra::Date today(8, 12, 2026);
  struct Case {
    pendra::Date date;
    const char* heading;
    const char* full;
  };
  const Case cases[] = {
      {{8, 12, 2026}, "Today", "Tue 8 Dec 2026"},
      {{9, 12, 2026}, "Tomorrow", "Wed 9 Dec 2026"},
      {{7, 12, 2026}, "Yesterday", "Mon 7 Dec 2026"},
      {{11, 12, 2026}, "Fri 11 Dec", "Fri 11 Dec 2026"},
      {{1, 1, 2027}, "Fri 1 Jan 2027", "Fri 1 Jan 2027"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.heading, gui::dayHeading(c.date, today));
    EXPECT_EQ(c.full, gui::windowDate(c.date));
  }
  EXPECT_EQ("Fri 11 Dec: Market day", gui::itemText(today, {11, 12, 2026}, "Market day", today));
  EXPECT_EQ("Market day", gui::itemText(today, today, "Market day", today));
}

TEST(ViewRange, SpokenAndReportedTexts) {
  EXPECT_EQ("9 December, 2 reminders", gui::accessibleDayName({9, 12, 2026}, 2));
  EXPECT_EQ("1 January, 1 reminder", gui::accessibleDayName({1, 1, 2027}, 1));
  EXPECT_EQ("1 January", gui::accessibleDayName({1, 1, 2027}, 0));
  EXPECT_EQ(2, gui::countEvents("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:BEGIN:VEVENT\r\n"
                                "END:VEVENT\r\nBEGIN:VEVENT\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"));
  EXPECT_EQ(0, gui::countEvents(""));
  EXPECT_EQ("Exported 25 reminders to /h/pendra-2026-12.ics",
            gui::exportedText(25, "/h/pendra-2026-12.ics"));
  EXPECT_EQ("Exported 1 reminder to x.ics", gui::exportedText(1, "x.ics"));
}

}  // namespace
