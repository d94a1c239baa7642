// Which days the window shows and exports, and how it writes dates: one
// date format everywhere ("Wed 9 Dec 2026"), day headings ("Today").
#ifndef PENDRA_GUI_VIEW_RANGE_H_
#define PENDRA_GUI_VIEW_RANGE_H_

#include <string>
#include <string_view>

#include "common/date.h"

namespace gui {

// The window's choice of days around the picked date.
enum class View {
  Window,  // 7 days before, 14 after (the default)
  Week,    // the picked date's week, Monday first
  Month,   // the picked date's month
};

// The days of one pendcal run: date with before days and after days.
struct Range {
  pendra::Date date;  // the target date given to pendcal
  int before = 0;
  int after = 0;
  pendra::Date first() const;  // date - before, weekday filled in
  pendra::Date last() const;   // date + after, weekday filled in
  bool contains(const pendra::Date& day) const;
};

// The run for a view around the picked date. REQUIRES: picked is valid.
Range viewRange(View view, const pendra::Date& picked);

// The settings' words for the views: "window", "week", "month".
const char* viewName(View view);
// false (and *view untouched) for anything else; case does not matter.
bool parseViewName(std::string_view text, View* view);

// What an export writes.
enum class ExportChoice {
  Shown,         // the days the window shows
  Month,         // the month of the picked date
  TwelveMonths,  // today and the following twelve months less a day
};

// The run for an export choice.
Range exportRange(ExportChoice choice, View view, const pendra::Date& picked,
                  const pendra::Date& today);

// The default file name: "pendra-2026-12.ics" for a month (whole calendar
// month), else "pendra-2026-12-01-to-2026-12-22.ics".
std::string exportFileName(const Range& range);
std::string exportFileName(ExportChoice choice, const Range& range);

// "Mon".."Sun" (index 1 = "Sun") and "Jan".."Dec" (index 1 = "Jan").
extern const char* const kShortWeekdayNames[8];
extern const char* const kShortMonthNames[13];

// The window's one date format: "Wed 9 Dec 2026". REQUIRES: valid date.
std::string windowDate(const pendra::Date& date);
// Without the year: "Wed 9 Dec".
std::string shortDate(const pendra::Date& date);
// A day heading in the list: "Today", "Tomorrow", "Yesterday", else
// shortDate, with the year added when it is not today's year.
std::string dayHeading(const pendra::Date& date, const pendra::Date& today);
// A list item's text: the reminder's text, or for a look-ahead the day it
// announces first: "Fri 11 Dec: Market day" (year added as for headings).
std::string itemText(const pendra::Date& scanned, const pendra::Date& matched,
                     const std::string& text, const pendra::Date& today);

// A marked day in the month grid as screen readers say it:
// "9 December, 2 reminders", "9 December, 1 reminder", "9 December".
std::string accessibleDayName(const pendra::Date& date, int reminders);

// The events in an iCalendar text: its "BEGIN:VEVENT" lines.
int countEvents(std::string_view calendar);
// After an export: "Exported 25 reminders to /home/a/pendra-2026-12.ics"
// ("1 reminder").
std::string exportedText(int reminders, const std::string& path);

}  // namespace gui

#endif  // PENDRA_GUI_VIEW_RANGE_H_
