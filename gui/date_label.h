// The reminder window's label: the picked date written out in full.
#ifndef PENDRA_GUI_DATE_LABEL_H_
#define PENDRA_GUI_DATE_LABEL_H_

#include <string>

#include "common/date.h"

namespace gui {

// kLongWeekdayNames[1] = "Sunday" .. [7] = "Saturday";
// kLongMonthNames[1] = "January" .. [12] = "December".
extern const char* const kLongWeekdayNames[8];
extern const char* const kLongMonthNames[13];

// "Sunday 10 July 2005": the weekday (computed from the date), the day, the
// month and the year. REQUIRES: date.month in 1..12.
std::string dateLabel(const pendra::Date& date);

}  // namespace gui

#endif  // PENDRA_GUI_DATE_LABEL_H_
