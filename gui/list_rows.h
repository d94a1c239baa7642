// The rows of a window's reminder list, made from one listing run: the
// problems first, then per day a heading and the day's items. A toolkit
// draws each kind its own way; the texts are final.
#ifndef PENDRA_GUI_LIST_ROWS_H_
#define PENDRA_GUI_LIST_ROWS_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/date.h"
#include "gui/listing.h"
#include "gui/view_range.h"

namespace gui {

struct ListRow {
  enum class Kind {
    Heading,    // "Today", "Tomorrow", "Wed 9 Dec"
    Reminder,   // a reminder on that day
    LookAhead,  // an announcement of a later day: "Fri 11 Dec: Market day"
    Problem,    // an error or warning from pendcal, with its place
    Message,    // anything else the window has to say
  };
  Kind kind = Kind::Message;
  std::string text;  // UTF-8; line feeds make lines
  pendra::Date day;  // the day under whose heading the row stands; none for the others
  std::string file;  // a reminder's or a problem's file, as pendcal names it; else empty
  int line = 0;      // its line there; 0 for none
};

// "pendra.pnd(3): error: not an action", then the detail's lines; without a
// place just the text.
std::string problemText(const Problem& problem);

// The days a listing run covers: the view's days and the whole month of
// the picked date, which the grid shows, so that one run fills both.
Range listingRange(View view, const pendra::Date& picked);

// The list for the days of shown: the problems, then each day in shown
// that has items, with its heading; when none has any, one message that
// says so ("No reminders from Wed 2 Dec 2026 to Wed 23 Dec 2026").
std::vector<ListRow> listRows(const ListingResult& result, const Range& shown,
                              const pendra::Date& today);

// The message when pendcal found no reminder file: where it looked.
std::vector<ListRow> noReminderFileRows(const std::vector<std::string>& places);

// What the month grid tells a screen reader about its marked days from
// first to last: "9 December, 2 reminders; 11 December, 1 reminder";
// empty when none has any. counts as reminderCounts gives them.
std::string markedDaysText(const std::map<int64_t, int>& counts, const pendra::Date& first,
                           const pendra::Date& last);

}  // namespace gui

#endif  // PENDRA_GUI_LIST_ROWS_H_
