#include "gui/date_label.h"

#include <cassert>
#include <cstdio>

namespace gui {

const char* const kLongWeekdayNames[8] = {"",          "Sunday",   "Monday", "Tuesday",
                                          "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kLongMonthNames[13] = {"",        "January",  "February", "March",  "April",
                                         "May",     "June",     "July",     "August", "September",
                                         "October", "November", "December"};

std::string dateLabel(const pendra::Date& date) {
  assert(date.month >= 1 && date.month <= 12);
  uint8_t weekday = pendra::weekdayOf(date.day, date.month, date.year);
  char text[128];
  std::snprintf(text, sizeof text, "%s %d %s %u", kLongWeekdayNames[weekday], date.day,
                kLongMonthNames[date.month], static_cast<unsigned>(date.year));
  return text;
}

}  // namespace gui
