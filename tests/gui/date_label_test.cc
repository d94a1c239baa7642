#include "gui/date_label.h"

#include <gtest/gtest.h>

TEST(DateLabel, NamesTheDateInFull) {
  struct Case {
    pendra::Date date;
    const char* expected;
  };
  const Case cases[] = {
      {{10, 7, 2005}, "Sunday 10 July 2005"},
      {{29, 2, 2004}, "Sunday 29 February 2004"},
      {{1, 1, 1800}, "Wednesday 1 January 1800"},
      {{29, 2, 2000}, "Tuesday 29 February 2000"},
      {{31, 12, 9999}, "Friday 31 December 9999"},
      // The first of each month of 2005 meets every month and weekday name.
      {{1, 1, 2005}, "Saturday 1 January 2005"},
      {{1, 2, 2005}, "Tuesday 1 February 2005"},
      {{1, 3, 2005}, "Tuesday 1 March 2005"},
      {{1, 4, 2005}, "Friday 1 April 2005"},
      {{1, 5, 2005}, "Sunday 1 May 2005"},
      {{1, 6, 2005}, "Wednesday 1 June 2005"},
      {{1, 7, 2005}, "Friday 1 July 2005"},
      {{1, 8, 2005}, "Monday 1 August 2005"},
      {{1, 9, 2005}, "Thursday 1 September 2005"},
      {{1, 10, 2005}, "Saturday 1 October 2005"},
      {{1, 11, 2005}, "Tuesday 1 November 2005"},
      {{1, 12, 2005}, "Thursday 1 December 2005"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, gui::dateLabel(c.date));
}

TEST(DateLabel, IgnoresAStaleWeekday) {
  pendra::Date date(1, 3, 2004);
  date.weekday = 2;    // Monday; 1 March 2004 is a Monday
  date.previousDay();  // stepping keeps the weekday field as it was
  EXPECT_EQ("Sunday 29 February 2004", gui::dateLabel(date));
}
